#include "servers/ServerListModel.h"
#include "support/FakePlatform.h"
#include "ui/main/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTreeView>

class TestFrmMain : public QObject
{
    Q_OBJECT

private:
    FakePlatform m_platform;
    AppGlobals m_globals;
    std::unique_ptr<frmMain> m_window;

    QString details() const
    {
        return m_window->findChild<QPlainTextEdit *>(QStringLiteral("txtInfo"))->toPlainText();
    }
    QTreeView *list() const { return m_window->findChild<QTreeView *>(QStringLiteral("lvw")); }

private Q_SLOTS:
    void init()
    {
        m_platform = FakePlatform();
        m_globals = AppGlobals();
        QString error;
        m_globals.ShellObject = m_platform.createShellObject(&error);
        m_window = std::make_unique<frmMain>(m_platform, m_globals);
        m_window->setServerRows(parseServerList(
            QStringLiteral("myhost;10.0.0.1;1863\r\n;10.0.0.2;1864\r\n<b>x</b>;;<img src=x>\r\n"),
            parseCurrentServer(QStringLiteral("10.0.0.2:1864"))));
    }

    void cleanup() { m_window.reset(); }

    void controls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("caption");
        QTest::newRow("lvw") << "lvw" << QRect(0, 0, 481, 185) << "";
        QTest::newRow("stb") << "stb" << QRect(0, 287, 481, 17) << "";
        QTest::newRow("txtInfo") << "txtInfo" << QRect(8, 192, 465, 57) << "";
        QTest::newRow("cmdTestServer") << "cmdTestServer" << QRect(304, 256, 81, 25) << "Test Server";
        QTest::newRow("cmdUseServer") << "cmdUseServer" << QRect(392, 256, 81, 25) << "Use this server";
    }

    void controls()
    {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        QFETCH(QString, caption);
        auto *widget = m_window->findChild<QWidget *>(name);
        QVERIFY(widget);
        QCOMPARE(widget->geometry(), geometry);
        if (auto *button = qobject_cast<QPushButton *>(widget))
            QCOMPARE(button->text(), caption);
        else
            QVERIFY(!widget->accessibleName().isEmpty());
    }

    void window()
    {
        m_window->show();
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Nexolan - By Torvik"));
        QCOMPARE(m_window->centralWidget()->size(), QSize(481, 304));
        QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
        QCOMPARE(m_window->height(), m_window->menuBar()->height() + 304);
        QVERIFY(!(m_window->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(m_window->windowFlags() & Qt::WindowMinimizeButtonHint);
        QCOMPARE(m_window->font().family(), QStringLiteral("Tahoma"));
        QCOMPARE(m_window->font().pointSizeF(), 8.25);
        const QList<QSize> sizes = m_window->windowIcon().availableSizes();
        QVERIFY(sizes.contains(QSize(16, 16)));
        QVERIFY(sizes.contains(QSize(32, 32)));
    }

    void centredOnScreen()
    {
        m_window->centreOnScreen();
        const QPoint screenCentre = m_window->screen()->availableGeometry().center();
        QVERIFY((m_window->geometry().center() - screenCentre).manhattanLength() <= 2);
    }

    void menus()
    {
        const auto *file = m_window->findChild<QMenu *>(QStringLiteral("mnuFile"));
        const auto *help = m_window->findChild<QMenu *>(QStringLiteral("mnuHelp"));
        QVERIFY(file && help);
        QCOMPARE(m_window->menuBar()->actions(), (QList<QAction *>{file->menuAction(), help->menuAction()}));
        QCOMPARE(file->title(), QStringLiteral("File"));
        QCOMPARE(help->title(), QStringLiteral("Help"));
        auto *exit = m_window->findChild<QAction *>(QStringLiteral("mnuExit"));
        auto *about = m_window->findChild<QAction *>(QStringLiteral("mnuAbout"));
        QCOMPARE(file->actions(), QList<QAction *>{exit});
        QCOMPARE(help->actions(), QList<QAction *>{about});
        QCOMPARE(exit->text(), QStringLiteral("Exit"));
        QCOMPARE(about->text(), QStringLiteral("About..."));
        QVERIFY(exit->shortcut().isEmpty() && about->shortcut().isEmpty());
    }

    void listSettings()
    {
        QTreeView *lvw = list();
        const int widths[] = {147, 90, 37, 96};
        for (int column = 0; column < 4; ++column)
            QCOMPARE(lvw->header()->sectionSize(column), widths[column]);
        QCOMPARE(lvw->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(lvw->editTriggers(), QAbstractItemView::NoEditTriggers);
        QVERIFY(!lvw->isSortingEnabled());
        QCOMPARE(m_window->model()->statuses(), (QStringList{QString(), CurrentMarker, QString()}));
    }

    void detailsBox()
    {
        auto *txtInfo = m_window->findChild<QPlainTextEdit *>(QStringLiteral("txtInfo"));
        QVERIFY(txtInfo->isReadOnly());
        QCOMPARE(txtInfo->palette().color(QPalette::Base), txtInfo->palette().color(QPalette::ToolTipBase));
        // The prompt stays until the window is first activated.
        QCOMPARE(details(), QStringLiteral("Please select a server.\n"));
        m_window->Form_Activate();
        QCOMPARE(details(), QStringLiteral("Host name: myhost\nIP Address: 10.0.0.1\nPort: 1863"));
        QCOMPARE(m_window->focusWidget(), list());
    }

    void detailsText_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("text");
        QTest::newRow("unknown host, marked row") << 1 << "Host name: (Unknown host)\r\nIP Address: 10.0.0.2\r\nPort: 1864";
        QTest::newRow("markup, empty IP") << 2 << "Host name: <b>x</b>\r\nIP Address: \r\nPort: 0";
    }

    void detailsText()
    {
        QFETCH(int, row);
        QFETCH(QString, text);
        QCOMPARE(frmMain::detailsText(m_window->model()->row(row)), text);
        // Selecting the row shows the same lines, as plain characters.
        list()->setCurrentIndex(m_window->model()->index(row, 0));
        QCOMPARE(details(), QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    }

    void alwaysOneRowSelected()
    {
        QTreeView *lvw = list();
        lvw->setCurrentIndex(m_window->model()->index(1, 0));
        lvw->selectionModel()->clearSelection();
        QCOMPARE(lvw->selectionModel()->selectedRows().size(), 1);
        QCOMPARE(m_window->selectedRow(), 1);

        // A screen reader selects a row without moving the current index:
        // that row becomes the selected row, alone, and the details follow.
        lvw->selectionModel()->select(m_window->model()->index(2, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QCOMPARE(m_window->selectedRow(), 2);
        QCOMPARE(lvw->selectionModel()->selectedRows().size(), 1);
        QVERIFY(details().startsWith(QStringLiteral("Host name: <b>x</b>")));
    }

    void switchingInFromAnotherProgramIsNoActivation()
    {
        m_window->Form_Activate();
        auto *txtInfo = m_window->findChild<QPlainTextEdit *>(QStringLiteral("txtInfo"));
        txtInfo->setPlainText(QStringLiteral("left as it was"));
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(m_window.get(), &activate);
        QCOMPARE(details(), QStringLiteral("left as it was"));
    }

    void emptyListIsHarmless()
    {
        m_window->setServerRows({});
        m_window->Form_Activate();
        m_window->findChild<QPushButton *>(QStringLiteral("cmdTestServer"))->click();
        m_window->findChild<QPushButton *>(QStringLiteral("cmdUseServer"))->click();
        QCOMPARE(details(), QStringLiteral("Please select a server.\n"));
        QVERIFY(m_platform.messageBoxes.isEmpty());
        QVERIFY(m_platform.shell->writes.isEmpty());
        QVERIFY(m_window->findChildren<QDialog *>().isEmpty());
    }

    void exitEndsTheProgram_data()
    {
        QTest::addColumn<bool>("viaMenu");
        QTest::newRow("File > Exit") << true;
        QTest::newRow("close box") << false;
    }

    void exitEndsTheProgram()
    {
        QFETCH(bool, viaMenu);
        m_window->show();
        QSignalSpy unloaded(m_window.get(), &frmMain::unloaded);
        if (viaMenu)
            m_window->findChild<QAction *>(QStringLiteral("mnuExit"))->trigger();
        else
            m_window->close();
        QCOMPARE(unloaded.size(), 1);
        QVERIFY(!m_window->isVisible());
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
