// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class Clock;
class ListTest;
class ListTestModel;
class ProbeConnector;
class QLabel;
class QModelIndex;
class QProgressBar;
class QPushButton;
class QSortFilterProxyModel;
class QTreeView;
class ServerList;
class ServerSwitcher;

// The Test List window: every server of the list tested at once, ranked best
// first, with each server's times, rating and reply. "Use this server" (or a
// double-click) switches to a row's server through the main window's switch;
// "Copy" puts the table on the clipboard as tab-separated text. Closing the
// window ends every test at once.
class TestListDialog : public QDialog
{
    Q_OBJECT

public:
    // The rows of the list are the main list's rows, in its order; the
    // switcher switches to one of them.
    TestListDialog(Clock &clock, ProbeConnector &connector, ServerSwitcher &switcher, const ServerList &list,
                   QWidget *parent = nullptr);
    ~TestListDialog() override;

    // Tests every server, anew.
    void start();

    void done(int result) override;

private:
    void onStopClicked();
    void onUseServerClicked();
    void onCopyClicked();
    void onFinished();
    void showProgress();
    bool canUse(int row) const;
    void updateUseButton();
    int selectedRow() const;

    ServerSwitcher &m_switcher;
    ListTest *m_test;
    ListTestModel *m_model;
    QSortFilterProxyModel *m_sorted;

    QTreeView *m_resultView = nullptr;
    QProgressBar *m_progressBar = nullptr;
    QLabel *m_progressLabel = nullptr;
    QPushButton *m_stopButton = nullptr;
    QPushButton *m_useServerButton = nullptr;
    QPushButton *m_copyButton = nullptr;
    QPushButton *m_closeButton = nullptr;
};
