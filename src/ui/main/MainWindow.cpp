// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindow.h"

#include "core/Numbers.h"
#include "core/ServerListModel.h"
#include "platform/MessageBoxes.h"
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

MainWindow::MainWindow(Messenger *messenger, Registry &registry, MessageBoxes &messageBoxes, LinkOpener &links,
                       Clock &clock, ProbeConnector &connector, QWidget *parent)
    : QMainWindow(parent,
                  Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                      | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_registry(registry)
    , m_messageBoxes(messageBoxes)
    , m_links(links)
    , m_clock(clock)
    , m_connector(connector)
    , m_model(new ServerListModel(this))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(applicationTitle());
    setWindowIcon(appIcon());
    setFont(tahomaFont(8.25));

    // Menus carry no access keys and no shortcuts.
    m_fileMenu = menuBar()->addMenu(tr("File"));
    m_fileMenu->setObjectName(QStringLiteral("mnuFile"));
    m_exitAction = m_fileMenu->addAction(tr("Exit"));
    m_exitAction->setObjectName(QStringLiteral("mnuExit"));
    m_helpMenu = menuBar()->addMenu(tr("Help"));
    m_helpMenu->setObjectName(QStringLiteral("mnuHelp"));
    m_aboutAction = m_helpMenu->addAction(tr("About..."));
    m_aboutAction->setObjectName(QStringLiteral("mnuAbout"));

    // The client area below the menu bar is 481 x 304 pixels, its controls
    // at fixed places.
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(481, 304);
    setCentralWidget(client);

    m_serverView = placed<QTreeView>(client, "lvw", 0, 0, 481, 185);
    m_serverView->setAccessibleName(tr("Servers"));
    m_serverView->setModel(m_model);
    m_serverView->setRootIsDecorated(false);
    m_serverView->setItemsExpandable(false);
    m_serverView->setUniformRowHeights(true);
    m_serverView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_serverView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_serverView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_serverView->setSortingEnabled(false);
    m_serverView->setAllColumnsShowFocus(true);
    m_serverView->header()->setStretchLastSection(false);
    m_serverView->header()->setSectionsMovable(false);
    const int widths[] = {147, 90, 37, 96}; // 2200, 1350, 550 and 1440 twips
    for (int column = 0; column < ServerListModel::ColumnCount; ++column)
        m_serverView->header()->resizeSection(column, widths[column]);
    // The selected row stays visible while the list lacks the focus.
    QPalette listPalette = m_serverView->palette();
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText})
        listPalette.setColor(QPalette::Inactive, role, listPalette.color(QPalette::Active, role));
    m_serverView->setPalette(listPalette);

    m_statusBar = placed<QStatusBar>(client, "stb", 0, 287, 481, 17);
    m_statusBar->setSizeGripEnabled(false);
    m_statusBar->setAccessibleName(tr("Status bar"));
    m_statusLabel = new QLabel(m_statusBar);
    m_statusLabel->setObjectName(QStringLiteral("stbText"));
    m_statusLabel->setTextFormat(Qt::PlainText);
    // No accessible name of its own: screen readers read the status text as its name.
    m_statusBar->addWidget(m_statusLabel, 1);

    m_detailsBox = placed<QPlainTextEdit>(client, "txtInfo", 8, 192, 465, 57);
    m_detailsBox->setAccessibleName(tr("Server details"));
    m_detailsBox->setReadOnly(true);
    m_detailsBox->setLineWrapMode(QPlainTextEdit::NoWrap);
    QPalette infoPalette = m_detailsBox->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        infoPalette.setColor(group, QPalette::Base, infoPalette.color(group, QPalette::ToolTipBase));
        infoPalette.setColor(group, QPalette::Text, infoPalette.color(group, QPalette::ToolTipText));
    }
    m_detailsBox->setPalette(infoPalette);
    m_detailsBox->setPlainText(tr("Please select a server.\n"));

    m_testListButton = placed<QPushButton>(client, "cmdTestList", 216, 256, 81, 25);
    m_testListButton->setText(tr("Test List"));
    m_testServerButton = placed<QPushButton>(client, "cmdTestServer", 304, 256, 81, 25);
    m_testServerButton->setText(tr("Test Server"));
    m_useServerButton = placed<QPushButton>(client, "cmdUseServer", 392, 256, 81, 25);
    m_useServerButton->setText(tr("Use this server"));

    setTabOrder(m_serverView, m_statusBar);
    setTabOrder(m_statusBar, m_detailsBox);
    setTabOrder(m_detailsBox, m_testListButton);
    setTabOrder(m_testListButton, m_testServerButton);
    setTabOrder(m_testServerButton, m_useServerButton);

    connect(m_serverView->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (!m_filling && current.isValid())
                    onServerClicked(current.row());
            });
    connect(m_serverView->selectionModel(), &QItemSelectionModel::selectionChanged, this, &MainWindow::keepRowSelected);
    connect(m_testListButton, &QPushButton::clicked, this, &MainWindow::onTestListClicked);
    connect(m_testServerButton, &QPushButton::clicked, this, &MainWindow::onTestServerClicked);
    connect(m_useServerButton, &QPushButton::clicked, this, &MainWindow::onUseServerClicked);
    connect(m_exitAction, &QAction::triggered, this, &QWidget::close);
    connect(m_aboutAction, &QAction::triggered, this, &MainWindow::onAboutTriggered);

    layout()->setSizeConstraint(QLayout::SetFixedSize);
    m_switcher = new ServerSwitcher(messenger, m_registry, m_messageBoxes, *m_model, this);
    connect(m_switcher, &ServerSwitcher::busyChanged, this, &MainWindow::setSwitching);
    connect(m_switcher, &ServerSwitcher::finished, this, [this] { m_serverView->setFocus(Qt::OtherFocusReason); });
    setServerList(ServerList());
}

MainWindow::~MainWindow() = default;

void MainWindow::setServerList(ServerList list)
{
    m_filling = true;
    m_model->setList(std::move(list));
    if (m_model->rowCount() > 0)
        m_serverView->setCurrentIndex(m_model->index(0, 0));
    m_filling = false;
    setSwitching(m_switcher->isBusy());
}

void MainWindow::setSwitching(bool switching)
{
    // With no row there is nothing to test or switch to; while a switch runs
    // (Wine's helper may take seconds) the window stays responsive, but
    // takes no second switch and starts no test.
    const bool usable = m_model->rowCount() > 0 && !switching;
    m_testListButton->setEnabled(usable);
    m_testServerButton->setEnabled(usable);
    m_useServerButton->setEnabled(usable);
    if (switching)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
}

int MainWindow::selectedRow() const
{
    const QModelIndex current = m_serverView->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void MainWindow::keepRowSelected(const QItemSelection &selected)
{
    const QModelIndex current = m_serverView->currentIndex();
    // Assistive technology selects a row without making it the current one:
    // the row it selected becomes the selected row, as a click makes it.
    if (!selected.isEmpty() && selected.indexes().first().row() != current.row()) {
        m_serverView->selectionModel()->setCurrentIndex(
            selected.indexes().first(), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        return;
    }
    // A click on the empty part of the list, or Ctrl+click, would leave no
    // row selected; the list always keeps one while it has rows.
    if (current.isValid() && !m_serverView->selectionModel()->hasSelection())
        m_serverView->selectionModel()->select(current, QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void MainWindow::setStatusText(const QString &text)
{
    m_statusLabel->setText(text);
}

void MainWindow::setRegistryLocation(const QString &location)
{
    const QString text = tr("Messenger's settings: %1").arg(location);
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
    // One text with all three, so that a translation may order its lines;
    // arg() fills them in at once, so a "%1" in a host name stays as it is.
    m_detailsBox->setPlainText(tr("Host name: %1\nIP Address: %2\nPort: %3")
                                   .arg(ServerListModel::displayed(shownCell(entry.host)),
                                        ServerListModel::displayed(entry.ip),
                                        entry.port ? numberText(*entry.port) : QString()));
}

void MainWindow::activateList()
{
    // With an empty list there is no row to show: the prompt stays.
    const int row = selectedRow();
    if (row >= 0)
        showDetails(row);
    m_serverView->setFocus(Qt::OtherFocusReason);
}

void MainWindow::onServerClicked(int row)
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
    showModal(new AboutDialog(m_links, m_registry, this));
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
