#include "MainWindow.h"

#include "core/Numbers.h"
#include "core/ServerListModel.h"
#include "platform/MessageBoxes.h"
#include "platform/SystemObjects.h"
#include "ui/AppIcon.h"
#include "ui/ServerSwitcher.h"
#include "ui/WidgetLayout.h"
#include "ui/about/AboutDialog.h"
#include "ui/servertest/ServerTestDialog.h"
#include "ui/testlist/TestListDialog.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTreeView>

MainWindow::MainWindow(AppGlobals &globals, MessageBoxes &messageBoxes, LinkOpener &links, Clock &clock,
                       ProbeConnector &connector, QWidget *parent)
    : QMainWindow(parent,
                  Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                      | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_globals(globals)
    , m_messageBoxes(messageBoxes)
    , m_links(links)
    , m_clock(clock)
    , m_connector(connector)
    , m_model(new ServerListModel(this))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(ApplicationTitle);
    setWindowIcon(appIcon());
    setFont(tahomaFont(8.25));

    // Menus carry no access keys and no shortcuts.
    mnuFile = menuBar()->addMenu(QStringLiteral("File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuExit = mnuFile->addAction(QStringLiteral("Exit"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    mnuHelp = menuBar()->addMenu(QStringLiteral("Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuAbout = mnuHelp->addAction(QStringLiteral("About..."));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));

    // The client area below the menu bar is 481 x 304 pixels, its controls
    // at fixed places.
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(481, 304);
    setCentralWidget(client);

    lvw = placed<QTreeView>(client, "lvw", 0, 0, 481, 185);
    lvw->setAccessibleName(QStringLiteral("Servers"));
    lvw->setModel(m_model);
    lvw->setRootIsDecorated(false);
    lvw->setItemsExpandable(false);
    lvw->setUniformRowHeights(true);
    lvw->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvw->setSelectionMode(QAbstractItemView::SingleSelection);
    lvw->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvw->setSortingEnabled(false);
    lvw->setAllColumnsShowFocus(true);
    lvw->header()->setStretchLastSection(false);
    lvw->header()->setSectionsMovable(false);
    const int widths[] = {147, 90, 37, 96}; // 2200, 1350, 550 and 1440 twips
    for (int column = 0; column < ServerListModel::ColumnCount; ++column)
        lvw->header()->resizeSection(column, widths[column]);
    // The selected row stays visible while the list lacks the focus.
    QPalette listPalette = lvw->palette();
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText})
        listPalette.setColor(QPalette::Inactive, role, listPalette.color(QPalette::Active, role));
    lvw->setPalette(listPalette);

    stb = placed<QStatusBar>(client, "stb", 0, 287, 481, 17);
    stb->setSizeGripEnabled(false);
    stb->setAccessibleName(QStringLiteral("Status bar"));
    m_statusLabel = new QLabel(stb);
    m_statusLabel->setObjectName(QStringLiteral("stbText"));
    m_statusLabel->setTextFormat(Qt::PlainText);
    // No accessible name of its own: screen readers read the status text as its name.
    stb->addWidget(m_statusLabel, 1);

    txtInfo = placed<QPlainTextEdit>(client, "txtInfo", 8, 192, 465, 57);
    txtInfo->setAccessibleName(QStringLiteral("Server details"));
    txtInfo->setReadOnly(true);
    txtInfo->setLineWrapMode(QPlainTextEdit::NoWrap);
    QPalette infoPalette = txtInfo->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        infoPalette.setColor(group, QPalette::Base, infoPalette.color(group, QPalette::ToolTipBase));
        infoPalette.setColor(group, QPalette::Text, infoPalette.color(group, QPalette::ToolTipText));
    }
    txtInfo->setPalette(infoPalette);
    txtInfo->setPlainText(QStringLiteral("Please select a server.\n"));

    cmdTestList = placed<QPushButton>(client, "cmdTestList", 216, 256, 81, 25);
    cmdTestList->setText(QStringLiteral("Test List"));
    cmdTestServer = placed<QPushButton>(client, "cmdTestServer", 304, 256, 81, 25);
    cmdTestServer->setText(QStringLiteral("Test Server"));
    cmdUseServer = placed<QPushButton>(client, "cmdUseServer", 392, 256, 81, 25);
    cmdUseServer->setText(QStringLiteral("Use this server"));

    setTabOrder(lvw, stb);
    setTabOrder(stb, txtInfo);
    setTabOrder(txtInfo, cmdTestList);
    setTabOrder(cmdTestList, cmdTestServer);
    setTabOrder(cmdTestServer, cmdUseServer);

    connect(lvw->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (!m_filling && current.isValid())
                    lvw_ItemClick(current.row());
            });
    connect(lvw->selectionModel(), &QItemSelectionModel::selectionChanged, this, &MainWindow::keepRowSelected);
    connect(cmdTestList, &QPushButton::clicked, this, &MainWindow::onTestListClicked);
    connect(cmdTestServer, &QPushButton::clicked, this, &MainWindow::onTestServerClicked);
    connect(cmdUseServer, &QPushButton::clicked, this, &MainWindow::onUseServerClicked);
    connect(mnuExit, &QAction::triggered, this, &QWidget::close);
    connect(mnuAbout, &QAction::triggered, this, &MainWindow::onAboutTriggered);

    layout()->setSizeConstraint(QLayout::SetFixedSize);
    m_switcher = new ServerSwitcher(m_globals, m_messageBoxes, *m_model, this);
    connect(m_switcher, &ServerSwitcher::busyChanged, this, &MainWindow::setSwitching);
    connect(m_switcher, &ServerSwitcher::finished, this, [this] { lvw->setFocus(Qt::OtherFocusReason); });
    setServerList(ServerList());
}

MainWindow::~MainWindow() = default;

void MainWindow::setServerList(ServerList list)
{
    m_filling = true;
    m_model->setList(std::move(list));
    if (m_model->rowCount() > 0)
        lvw->setCurrentIndex(m_model->index(0, 0));
    m_filling = false;
    setSwitching(m_switcher->isBusy());
}

void MainWindow::setSwitching(bool switching)
{
    // With no row there is nothing to test or switch to; while a switch runs
    // (Wine's helper may take seconds) the window stays responsive, but
    // takes no second switch and starts no test.
    const bool usable = m_model->rowCount() > 0 && !switching;
    cmdTestList->setEnabled(usable);
    cmdTestServer->setEnabled(usable);
    cmdUseServer->setEnabled(usable);
    if (switching)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
}

int MainWindow::selectedRow() const
{
    const QModelIndex current = lvw->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void MainWindow::keepRowSelected(const QItemSelection &selected)
{
    const QModelIndex current = lvw->currentIndex();
    // Assistive technology selects a row without making it the current one:
    // the row it selected becomes the selected row, as a click makes it.
    if (!selected.isEmpty() && selected.indexes().first().row() != current.row()) {
        lvw->selectionModel()->setCurrentIndex(selected.indexes().first(),
                                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        return;
    }
    // A click on the empty part of the list, or Ctrl+click, would leave no
    // row selected; the list always keeps one while it has rows.
    if (current.isValid() && !lvw->selectionModel()->hasSelection())
        lvw->selectionModel()->select(current, QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void MainWindow::setStatusText(const QString &text)
{
    m_statusLabel->setText(text);
}

void MainWindow::setRegistryLocation(const QString &location)
{
    const QString text = QStringLiteral("Messenger's settings: ") + location;
    m_statusLabel->setToolTip(text);
    m_statusLabel->setAccessibleDescription(text);
}

void MainWindow::centreOnScreen()
{
    ensurePolished();
    adjustSize();
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = geometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void MainWindow::showDetails(int row)
{
    // Three lines; the box holds them with '\n'. Huge fields show shortened.
    const ServerRow entry = m_model->row(row);
    txtInfo->setPlainText(QStringLiteral("Host name: ") + ServerListModel::displayed(entry.host)
                          + QStringLiteral("\nIP Address: ") + ServerListModel::displayed(entry.ip)
                          + QStringLiteral("\nPort: ") + (entry.port ? numberText(*entry.port) : QString()));
}

void MainWindow::activateList()
{
    // With an empty list there is no row to show: the prompt stays.
    const int row = selectedRow();
    if (row >= 0)
        showDetails(row);
    lvw->setFocus(Qt::OtherFocusReason);
}

void MainWindow::lvw_ItemClick(int row)
{
    showDetails(row);
}

void MainWindow::onTestListClicked()
{
    if (m_model->rowCount() == 0)
        return;
    auto *dialog = new TestListDialog(m_clock, m_connector, *m_switcher, m_model->list(), this);
    dialog->start();
    showModal(dialog);
}

void MainWindow::onTestServerClicked()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    const ServerRow entry = m_model->row(row);
    auto *dialog = new ServerTestDialog(m_clock, m_connector, m_messageBoxes, this);
    dialog->setServer(entry.host, entry.ip, entry.port);
    dialog->launchTest();
    showModal(dialog);
}

void MainWindow::onUseServerClicked()
{
    // Nothing to switch to (an empty list) is no switch: no sign-out, no
    // write. The list gets the focus back when the switch ends.
    const int row = selectedRow();
    if (row >= 0)
        m_switcher->switchTo(row);
}

void MainWindow::onAboutTriggered()
{
    showModal(new AboutDialog(m_links, m_globals.registry.get(), this));
}

void MainWindow::showModal(QDialog *dialog)
{
    // The dialog blocks the main window without blocking this handler; when
    // it closes, the main window shows the selected row again.
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::ApplicationModal);
    connect(dialog, &QDialog::finished, this, &MainWindow::activateList);
    dialog->show();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Unloading cannot be cancelled and ends the program.
    event->accept();
    Q_EMIT unloaded();
}
