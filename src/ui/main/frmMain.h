#pragma once

#include "servers/ServerList.h"

#include <QMainWindow>

class QAction;
class QDialog;
class QItemSelection;
class QLabel;
class QMenu;
class QModelIndex;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTreeView;
class ServerListModel;
class Platform;
struct AppGlobals;

// The main window: the server list, the details box of the selected server,
// "Test Server", "Use this server", the status bar and the File and Help menus.
class frmMain : public QMainWindow
{
    Q_OBJECT

public:
    frmMain(Platform &platform, AppGlobals &globals, QWidget *parent = nullptr);
    ~frmMain() override;

    // Fills the list; the first row becomes the selected row.
    void setServerRows(QVector<ServerEntry> rows);
    ServerListModel *model() const { return m_model; }
    // The selected row, or -1 when the list is empty.
    int selectedRow() const;

    void setStatusText(const QString &text);
    QString statusText() const;

    // Places the window in the middle of its screen's available area.
    void centreOnScreen();

    // The three lines that the details box shows for a row.
    static QString detailsText(const ServerEntry &entry);

    // Shows the details of the selected row and gives the list the focus.
    // Runs when start-up shows the window and when one of the program's own
    // dialogs closes, never when the user switches in from another program.
    void Form_Activate();

    void lvw_ItemClick(int row);
    void cmdTestServer_Click();
    void cmdUseServer_Click();
    void mnuExit_Click();
    void mnuAbout_Click();

Q_SIGNALS:
    // The window was unloaded (close box, system menu or File > Exit): the
    // program ends.
    void unloaded();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void keepRowSelected(const QItemSelection &selected);
    void showModal(QDialog *dialog);
    void showDetails(int row);

    Platform &m_platform;
    AppGlobals &m_globals;
    ServerListModel *m_model = nullptr;

    QTreeView *lvw = nullptr;
    QStatusBar *stb = nullptr;
    QLabel *m_statusLabel = nullptr;
    QPlainTextEdit *txtInfo = nullptr;
    QPushButton *cmdTestServer = nullptr;
    QPushButton *cmdUseServer = nullptr;
    QMenu *mnuFile = nullptr;
    QAction *mnuExit = nullptr;
    QMenu *mnuHelp = nullptr;
    QAction *mnuAbout = nullptr;
    bool m_filling = false;
};
