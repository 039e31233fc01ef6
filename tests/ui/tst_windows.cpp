// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ListTestModel.h"
#include "core/ServerListModel.h"
#include "support/FakePlatform.h"
#include "support/LoopbackServer.h"
#include "ui/ServerSwitcher.h"
#include "ui/WidgetLayout.h"
#include "ui/about/AboutDialog.h"
#include "ui/about/ReferralLinks.h"
#include "ui/main/MainWindow.h"
#include "ui/servertest/ServerTestDialog.h"

#include <QAccessible>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

namespace {

const QString serverPath = QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger\\Server");

// The main window over the fake machine, filled and shown as start-up does.
struct Fixture
{
    explicit Fixture(const QByteArray &list, const QString &setting = QString(), bool withMessenger = true)
        : messenger(withMessenger ? fake.createMessenger(nullptr) : nullptr)
    {
        setRegistryText(fake, serverPath, setting);
        window.setServerList(ServerList::parse(list, parseCurrentServer(setting)));
        window.setStatusText(itemCountText(window.model()->rowCount()));
        window.show();
        window.activateList();
    }

    // A control of the window or of one of its dialogs, or the dialog: the dialogs are the window's children.
    template<typename T>
    T *child(const char *name)
    {
        if (window.objectName() == QLatin1String(name))
            return qobject_cast<T *>(&window);
        return window.findChild<T *>(QLatin1String(name));
    }
    QTreeView *list() { return child<QTreeView>("lvw"); }
    QString details() { return child<QPlainTextEdit>("txtInfo")->toPlainText(); }
    bool enabled(const char *button) { return child<QPushButton>(button)->isEnabled(); }
    void click(const char *button) { QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton); }
    // A double click on a row of a list, which selects it first.
    static void doubleClickRow(QTreeView *view, int row)
    {
        const QPoint place = view->visualRect(view->model()->index(row, 0)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, place);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, place);
    }

    FakePlatform fake;
    std::unique_ptr<Messenger> messenger;
    std::unique_ptr<Registry> registry = fake.createRegistry(nullptr);
    MainWindow window{messenger.get(), *registry, fake, fake, fake.clock, *fake.connector};
};

// What the machine does with a switch; "later": the sign-out and the write
// answer from the event loop, as Wine's helper does.
enum class Trouble { None, NoMessenger, WriteRefusedButStored, WriteRefusedLater };

} // namespace

Q_DECLARE_METATYPE(Trouble)

// The windows as a user meets them: clicks, keys, menus, what they show.
class TestWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { provideTahoma(); }

    // The details of the selected row. Assistive technology selects a row
    // without making it current; a cleared selection keeps the current row.
    void details()
    {
        Fixture app("a;10.0.0.1;1863\r\n;;x\r\n" + QByteArray(2 * 1024 * 1024, 'h') + ";i;1\r\n");
        QCOMPARE(app.details(), "Host name: a\nIP Address: 10.0.0.1\nPort: 1863");
        QItemSelectionModel *selection = app.list()->selectionModel();
        selection->select(app.window.model()->index(1, 0), QItemSelectionModel::ClearAndSelect);
        QCOMPARE(app.details(), "Host name: (Unknown host)\nIP Address: \nPort: 0");
        selection->clearSelection();
        QVERIFY(selection->isRowSelected(1));
        QTest::keyClick(app.list(), Qt::Key_Down); // a huge host name shows shortened
        QCOMPARE(app.details().size(),
                 QString("Host name: \nIP Address: i\nPort: 1").size() + ServerListModel::DisplayLimit);

        Fixture empty(""); // nothing to test or switch to
        QVERIFY(!empty.enabled("cmdTestServer") && !empty.enabled("cmdTestList") && !empty.enabled("cmdUseServer"));
        QCOMPARE(empty.details(), "Please select a server.\n");
    }

    // Use this server on a row of the main list. The fake's sign-out fails,
    // as with Messenger not running: the switch goes on. A row without an IP
    // address or port is no server: a box says so, and nothing is signed
    // out, written or marked (a row without an IP address: in Test List).
    void useServer_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<Trouble>("trouble");
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<bool>("switched"); // only the row switched to is marked, else the rows of the old setting
        const QString write = "write:" + serverPath + "=b;10.0.0.2:1863";
        const QString refused = "box:error:The Messenger server setting could not be changed.\r\n\r\nAccess denied.";
        const QString stored = "box:error:Switching reported a fault, but the Messenger server setting was changed."
                               "\r\n\r\nAccess denied.";
        QTest::newRow("switch") << 1 << Trouble::None << QStringList{"signout", write} << true;
        QTest::newRow("without Messenger") << 1 << Trouble::NoMessenger << QStringList{write} << true;
        QTest::newRow("refused write that changed the value")
            << 1 << Trouble::WriteRefusedButStored << QStringList{"signout", write, stored} << true;
        QTest::newRow("refused write answered later, a second click ignored")
            << 1 << Trouble::WriteRefusedLater << QStringList{"signout", write, refused} << false;
        const QStringList noPort{"box:error:This server has no port."};
        QTest::newRow("no port") << 4 << Trouble::None << noPort << false;
        QTest::newRow("port 0") << 5 << Trouble::None << noPort << false;
    }

    void useServer()
    {
        QFETCH(int, row);
        QFETCH(Trouble, trouble);
        QFETCH(QStringList, events);
        QFETCH(bool, switched);
        Fixture app("a;10.0.0.1;1863\r\nb;10.0.0.2;01863\r\nA;10.0.0.1;1863\r\nnoip;;1863\r\nnoport;10.0.0.3\r\n"
                    "zero;10.0.0.3;0\r\nB;10.0.0.2;1863\r\n",
                    "a;10.0.0.1:1863", trouble != Trouble::NoMessenger);
        app.fake.failWrites = trouble == Trouble::WriteRefusedButStored || trouble == Trouble::WriteRefusedLater;
        app.fake.failWritesAfterStoring = trouble == Trouble::WriteRefusedButStored;
        app.fake.answersLater = trouble == Trouble::WriteRefusedLater;
        app.list()->setCurrentIndex(app.window.model()->index(row, 0));
        app.click("cmdUseServer");
        if (app.fake.answersLater) { // the window waits without blocking, and takes no second switch or test
            QVERIFY(!app.enabled("cmdUseServer") && !app.enabled("cmdTestServer") && !app.enabled("cmdTestList"));
            QCOMPARE(app.window.cursor().shape(), Qt::BusyCursor);
            QVERIFY(!app.window.switcher()->switchTo(0));
            QCOMPARE(app.fake.events, QStringList{"signout"}); // written once the sign-out answered
            app.fake.answerHeld();
            QVERIFY(app.fake.eventsOf("box").isEmpty()); // a box opens once the registry's answer is handled
        }
        QTRY_COMPARE(app.fake.events, events);
        const QVector<bool> switchedMarks{false, true, false, false, false, false, false};
        const QVector<bool> oldMarks{true, false, true, false, false, false, false};
        QCOMPARE(app.window.model()->currentFlags(), switched ? switchedMarks : oldMarks);
        QCOMPARE(app.list()->currentIndex().row(), row);
        QTRY_VERIFY(app.enabled("cmdUseServer"));
        QCOMPARE(app.window.cursor().shape(), Qt::ArrowCursor);
        if (!app.fake.eventsOf("write").isEmpty()) // a switch gives the list the focus back
            QTRY_COMPARE(app.window.focusWidget(), app.list());
    }

    // Test Server on the selected row: a server that answers, with the
    // progress and status of each step, then one that refuses. Then Test
    // List: its rows best first while one server is still untested, then
    // sorted on Reply the other way (the untested row still last, ties in
    // list order), Copy, a failed row that cannot be used, a row without an
    // address whose box says why, Test Again once the test ended, a
    // double-click that switches, Stop, and no connection left.
    void serverTests()
    {
        LoopbackServer accepting(LoopbackServer::Behaviour::Answer, "VER 2 MSNP9 CVR0\r\n");
        LoopbackServer noCommon(LoopbackServer::Behaviour::Answer, "VER 2 0\r\n");
        LoopbackServer refusing(LoopbackServer::Behaviour::Refuse);
        LoopbackServer silent(LoopbackServer::Behaviour::Silent);
        const auto line = [](const char *host, const LoopbackServer &server) {
            return host + QByteArray(";127.0.0.1;") + QByteArray::number(server.port) + "\r\n";
        };
        Fixture app(line("best", accepting) + line("b", noCommon) + line("refused", refusing) + line("silent", silent)
                    + line("c", noCommon) + "noip;;1863\r\n");
        // Start, connected, probe sent, reply: 0.25 s to connect, 0.75 s to answer.
        app.fake.clock.queued = {1000.0, 1000.25, 1000.5, 1001.25};
        app.click("cmdTestServer");
        QCOMPARE(app.child<QLineEdit>("txtHostname")->text(), "best");
        QCOMPARE(app.child<QLineEdit>("txtIP")->text(), "127.0.0.1");
        QCOMPARE(app.child<QLineEdit>("txtPort")->text(), QString::number(accepting.port));
        QStringList steps; // the status at each step of the progress bar
        connect(app.child<QProgressBar>("prg"), &QProgressBar::valueChanged, this, [&app, &steps](int value) {
            steps.append(QString::number(value) + " " + app.child<QLabel>("lblStatus")->text());
        });
        QTRY_COMPARE(app.fake.eventsOf("box"),
                     QStringList{"information:Server test finished!\r\n====================\r\nConnection time: 0.25 "
                                 "seconds\r\nResponse time: 0.75 seconds.\r\nRating: Normal"});
        QCOMPARE(steps, (QStringList{"1 Connecting...", "2 Waiting for response...", "3 Finished!"}));
        QCOMPARE(app.child<QLabel>("lblTesting")->text(), "Finished!");
        // Only Close and the close box close it.
        QTest::keyClick(app.child<ServerTestDialog>("frmTest"), Qt::Key_Escape);
        QVERIFY(app.child<ServerTestDialog>("frmTest")->isVisible());
        app.click("cmdClose");
        QTRY_VERIFY(!app.child<ServerTestDialog>("frmTest"));

        app.list()->setCurrentIndex(app.window.model()->index(2, 0));
        app.click("cmdTestServer");
        QTRY_COMPARE(app.child<QLabel>("lblTesting")->text(), "Error (Connection refused)");
        QCOMPARE(app.child<QLabel>("lblStatus")->text(), "Connecting...");
        QCOMPARE(app.child<QProgressBar>("prg")->value(), 0);
        app.click("cmdClose");
        app.fake.events.clear();

        app.click("cmdTestList");
        auto *results = app.child<QTreeView>("lvwResults");
        auto *stop = app.child<QPushButton>("cmdStop");
        QTRY_COMPARE(app.child<QLabel>("lblProgress")->text(), "Tested 5 of 6 servers");
        const auto shownRows = [results] {
            QStringList rows;
            for (int row = 0; row < results->model()->rowCount(); ++row)
                rows.append(results->model()->index(row, ListTestModel::HostColumn).data().toString() + ": "
                            + results->model()->index(row, ListTestModel::ReplyColumn).data().toString());
            return rows;
        };
        QCOMPARE(shownRows(),
                 (QStringList{"best: MSNP9", "b: No common version", "c: No common version",
                              "refused: Error (Connection refused)", "noip: Error (No IP address)", "silent: "}));
        results->sortByColumn(ListTestModel::HostColumn, Qt::DescendingOrder); // c before b, then ties in list order
        results->sortByColumn(ListTestModel::ReplyColumn, Qt::DescendingOrder);
        QCOMPARE(shownRows(),
                 (QStringList{"b: No common version", "c: No common version", "best: MSNP9",
                              "noip: Error (No IP address)", "refused: Error (Connection refused)", "silent: "}));
        app.click("cmdCopy");
        QVERIFY(QGuiApplication::clipboard()->text().startsWith(
            "Host Name\tHost IP\tPort\tConnection\tResponse\tRating\tReply\nb\t127.0.0.1\t"));
        Fixture::doubleClickRow(results, 4);
        QVERIFY(!app.enabled("cmdUse"));
        Fixture::doubleClickRow(results, 3);
        QCOMPARE(app.fake.events, QStringList{"box:error:This server has no IP address."});

        QCOMPARE(stop->text(), "Stop");
        app.fake.clock.now += 10; // the silent server's time is up
        QTRY_COMPARE(stop->text(), "Test Again");
        app.click("cmdStop");
        QTRY_COMPARE(app.child<QLabel>("lblProgress")->text(), "Tested 5 of 6 servers");
        app.fake.answersLater = true; // no second switch while one runs
        Fixture::doubleClickRow(results, 2);
        QVERIFY(!app.enabled("cmdUse"));
        app.fake.answerHeld();
        const QString best = "best;127.0.0.1:" + QString::number(accepting.port);
        QTRY_COMPARE(app.fake.eventsOf("write"), QStringList{serverPath + "=" + best});
        QTRY_VERIFY(app.enabled("cmdUse")); // the switch has ended
        app.click("cmdStop");
        QCOMPARE(stop->text(), "Test Again");
        QTRY_COMPARE(silent.openNow(), 0);

        app.click("cmdClose");
        QTRY_VERIFY(!app.child<QDialog>("frmTestList"));
        QCOMPARE(noCommon.openNow() + accepting.openNow(), 0);
    }

    // The About box's link opens its page only where ShowLinks is an empty
    // text (not a blank); Esc and Enter close the box.
    void about()
    {
        Fixture app("a;1;1\r\n");
        for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
            app.child<QAction>("mnuAbout")->trigger();
            setRegistryText(app.fake, ShowLinksPath, " ");
            QTest::mouseClick(app.child<QLabel>("lblSupport"), Qt::LeftButton);
            setRegistryText(app.fake, ShowLinksPath, "");
            QTest::mouseClick(app.child<QLabel>("lblSupport"), Qt::LeftButton);
            QTest::keyClick(app.child<AboutDialog>("frmabout"), key);
            QTRY_VERIFY(!app.child<AboutDialog>("frmabout"));
        }
        QCOMPARE(app.fake.eventsOf("open"), (QStringList{AboutReferralUrl, AboutReferralUrl}));
    }

    // The windows shown, each control named for screen readers, the main
    // window's tab chain, its font, and the focus back on the list once the
    // dialogs close.
    void screen()
    {
        Fixture app("a;127.0.0.1;1\r\n", "a;127.0.0.1:1");
        app.click("cmdTestList");
        app.click("cmdTestServer");
        app.child<QAction>("mnuAbout")->trigger();
        struct Place
        {
            const char *window;
            const char *control; // null: the window itself, whose size is shown
            QRect place;
        };
        const Place places[] = {
            {"frmMain", "lvw", {0, 0, 481, 185}},
            {"frmMain", "stb", {0, 287, 481, 17}},
            {"frmMain", "txtInfo", {8, 192, 465, 57}},
            {"frmMain", "cmdTestList", {216, 256, 81, 25}},
            {"frmMain", "cmdTestServer", {304, 256, 81, 25}},
            {"frmMain", "cmdUseServer", {392, 256, 81, 25}},
            {"frmTest", nullptr, {0, 0, 346, 113}},
            {"frmTest", "txtIP", {24, 8, 313, 13}},
            {"frmTest", "txtHostname", {64, 24, 273, 13}},
            {"frmTest", "txtPort", {40, 40, 297, 13}},
            {"frmTest", "prg", {8, 56, 329, 17}},
            {"frmTest", "cmdClose", {256, 80, 81, 25}},
            {"frmabout", nullptr, {0, 0, 186, 233}},
            {"frmabout", "lblTitle", {56, 8, 118, 25}},
            {"frmabout", "lblInfo", {16, 56, 161, 121}},
            {"frmabout", "cmdClose", {96, 200, 81, 25}},
            {"frmabout", "Image1", {8, 8, 32, 32}},
        };
        for (const Place &place : places) {
            auto *window = app.child<QWidget>(place.window);
            QWidget *control = place.control ? window->findChild<QWidget *>(place.control) : nullptr;
            QCOMPARE(control ? control->geometry() : window->rect(), place.place);
        }
        for (const char *top : {"frmMain", "frmTest", "frmabout", "frmTestList"}) {
            QVERIFY2(app.child<QWidget>(top)->isVisible(), top);
            // Qt's own parts of a control, and plain containers, are no controls.
            for (QWidget *widget : app.child<QWidget>(top)->findChildren<QWidget *>()) {
                if (widget->objectName().isEmpty() || widget->objectName().startsWith("qt_") || !widget->isVisible()
                    || widget->metaObject() == &QWidget::staticMetaObject)
                    continue;
                QVERIFY2(!QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name).isEmpty(),
                         qPrintable(widget->objectName()));
            }
        }

        app.child<QWidget>("frmTestList")->close();
        app.child<QWidget>("frmabout")->close();
        app.child<QWidget>("frmTest")->close();
        QTRY_COMPARE(app.window.focusWidget(), app.list());
        QStringList chain;
        for (QWidget *next = app.list()->nextInFocusChain(); next != app.list(); next = next->nextInFocusChain()) {
            if (next->focusPolicy() & Qt::TabFocus && !next->objectName().isEmpty())
                chain.append(next->objectName());
        }
        QCOMPARE(chain, (QStringList{"txtInfo", "cmdTestList", "cmdTestServer", "cmdUseServer"}));
        const QString family = QFontInfo(app.child<QPushButton>("cmdUseServer")->font()).family();
        // Wine's Tahoma where Debian's fonts-wine has it, else a narrow stand-in.
        QCOMPARE(family, QFile::exists("/usr/share/wine/fonts/tahoma.ttf") ? "Tahoma" : "DejaVu Sans Condensed");
    }
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
