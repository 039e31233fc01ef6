// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/ServerList.h"

#include <QMainWindow>

class Clock;
class LinkOpener;
class MessageBoxes;
class Messenger;
class ProbeConnector;
class QAction;
class QDialog;
class QItemSelection;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTreeView;
class Registry;
class ServerListModel;
class ServerSwitcher;

// The main window: the server list, the details box of the selected server,
// "Test List", "Test Server", "Use this server", the status bar and the File
// and Help menus.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // The Messenger object signs the client out before a switch (null where
    // start-up could not create it); the registry serves the switch and the
    // About box's link; the message boxes report a failed switch and the
    // server tests; the connector makes the tests' connections and the clock
    // times them.
    MainWindow(Messenger *messenger, Registry &registry, MessageBoxes &messageBoxes, LinkOpener &links, Clock &clock,
               ProbeConnector &connector, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Fills the list; the first row becomes the selected row.
    void setServerList(ServerList list);
    ServerListModel *model() const { return m_model; }
    // The switch of "Use this server", for the other windows that offer it:
    // its marks show in this window's list, and while it runs this window
    // shows a busy cursor and takes no other switch or test.
    ServerSwitcher *switcher() const { return m_switcher; }

    void setStatusText(const QString &text);
    // Where Messenger's setting is read and written, shown as the status
    // bar's tool tip.
    void setRegistryLocation(const QString &location);

    // Places the window in the middle of its screen's available area.
    void centreOnScreen();

    // Shows the details of the selected row and gives the list the focus.
    // Runs when start-up shows the window and when one of the program's own
    // dialogs closes, never when the user switches in from another program.
    void activateList();

Q_SIGNALS:
    // The window was unloaded (close box, system menu or File > Exit): the
    // program ends.
    void unloaded();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    int selectedRow() const;
    void onServerClicked(int row);
    void onTestListClicked();
    void onTestServerClicked();
    void onUseServerClicked();
    void onAboutTriggered();
    void keepRowSelected(const QItemSelection &selected);
    void showModal(QDialog *dialog);
    void showDetails(int row);
    void setSwitching(bool switching);

    Registry &m_registry;
    MessageBoxes &m_messageBoxes;
    LinkOpener &m_links;
    Clock &m_clock;
    ProbeConnector &m_connector;
    ServerListModel *m_model = nullptr;
    ServerSwitcher *m_switcher = nullptr;

    QTreeView *m_serverView = nullptr;
    QStatusBar *m_statusBar = nullptr;
    QLabel *m_statusLabel = nullptr;
    QPlainTextEdit *m_detailsBox = nullptr;
    QPushButton *m_testListButton = nullptr;
    QPushButton *m_testServerButton = nullptr;
    QPushButton *m_useServerButton = nullptr;
    QMenu *m_fileMenu = nullptr;
    QAction *m_exitAction = nullptr;
    QMenu *m_helpMenu = nullptr;
    QAction *m_aboutAction = nullptr;
    bool m_filling = false;
};
