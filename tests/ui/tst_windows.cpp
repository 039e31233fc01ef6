// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ListTestModel.h"
#include "core/ServerListModel.h"
#include "support/FakePlatform.h"
#include "support/LoopbackServer.h"
#include "ui/ServerSwitcher.h"
#include "ui/WidgetLayout.h"
#include "ui/about/ReferralLinks.h"
#include "ui/main/MainWindow.h"
#include "ui/servertest/AutoSizeLabel.h"

#include <QAccessible>
#include <QClipboard>
#include <QHeaderView>
#include <QProgressBar>
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

    // A control of the window or of one of its dialogs (the dialogs are the
    // window's children), a dialog, or the window itself.
    template<typename T = QWidget>
    T *child(const char *name)
    {
        return window.objectName() == name ? qobject_cast<T *>(&window) : window.findChild<T *>(name);
    }
    // The text a label, box or button shows.
    QString text(const char *name) { return child(name)->property("text").toString(); }
    QString details() { return child("txtInfo")->property("plainText").toString(); }
    QTreeView *list() { return child<QTreeView>("lvw"); }
    bool enabled(const char *name) { return child(name)->isEnabled(); }
    void click(const char *name) { QTest::mouseClick(child(name), Qt::LeftButton); }
    // A double click on a row of the Test List's results, which selects it first.
    void doubleClickResult(int row)
    {
        auto *results = child<QTreeView>("lvwResults");
        const QPoint place = results->visualRect(results->model()->index(row, 0)).center();
        QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, place);
        QTest::mouseDClick(results->viewport(), Qt::LeftButton, {}, place);
    }

    FakePlatform fake;
    std::unique_ptr<Messenger> messenger;
    std::unique_ptr<Registry> registry = fake.createRegistry(nullptr);
    MainWindow window{messenger.get(), *registry, fake, fake, fake.clock, *fake.connector};
};

} // namespace

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
        QTest::addColumn<bool>("withMessenger");
        QTest::addColumn<FakePlatform::Writes>("writes"); // how the registry takes the write
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<bool>("switched"); // only the row switched to is marked, else the rows of the old setting
        using Writes = FakePlatform::Writes;
        const QString write = "write:" + serverPath + "=b;10.0.0.2:1863";
        const QString refused = "box:error:The Messenger server setting could not be changed.\r\n\r\nAccess denied.";
        const QString stored = "box:error:Switching reported a fault, but the Messenger server setting was changed."
                               "\r\n\r\nAccess denied.";
        QTest::newRow("without Messenger") << 1 << false << Writes::Stored << QStringList{write} << true;
        QTest::newRow("refused write that changed the value")
            << 1 << true << Writes::RefusedButStored << QStringList{"signout", write, stored} << true;
        QTest::newRow("refused write") << 1 << true << Writes::Refused << QStringList{"signout", write, refused}
                                       << false;
        const QString putBack = "box:error:The Messenger server setting was changed again by another program.";
        QTest::newRow("setting put back by another program")
            << 1 << true << Writes::PutBack << QStringList{"signout", write, putBack} << false;
        const QStringList noPort{"box:error:This server has no port."};
        QTest::newRow("no port") << 4 << true << Writes::Stored << noPort << false;
        QTest::newRow("port 0") << 5 << true << Writes::Stored << noPort << false;
    }

    void useServer()
    {
        QFETCH(int, row);
        QFETCH(bool, withMessenger);
        QFETCH(FakePlatform::Writes, writes);
        QFETCH(QStringList, events);
        QFETCH(bool, switched);
        Fixture app("a;10.0.0.1;1863\r\nb;10.0.0.2;01863\r\nA;10.0.0.1;1863\r\nnoip;;1863\r\nnoport;10.0.0.3\r\n"
                    "zero;10.0.0.3;0\r\nB;10.0.0.2;1863\r\n",
                    "a;10.0.0.1:1863", withMessenger);
        app.fake.writes = writes;
        app.list()->setCurrentIndex(app.window.model()->index(row, 0));
        app.click("cmdUseServer");
        if (app.fake.held) { // the window waits for the sign-out without blocking, and takes no second switch or test
            QVERIFY(!app.enabled("cmdUseServer") && !app.enabled("cmdTestServer") && !app.enabled("cmdTestList"));
            QCOMPARE(app.window.cursor().shape(), Qt::BusyCursor);
            QVERIFY(!app.window.switcher()->switchTo(0));
            QCOMPARE(app.fake.events, QStringList{"signout"}); // written once the sign-out answered
            app.fake.answerHeld();
            QVERIFY(app.fake.eventsOf("box").isEmpty()); // a box opens once the registry's answer is handled
        }
        QTRY_VERIFY(app.enabled("cmdUseServer")); // the switch has ended, after its box
        QCOMPARE(app.fake.events, events);
        const QVector<bool> switchedMarks{false, true, false, false, false, false, false};
        const QVector<bool> oldMarks{true, false, true, false, false, false, false};
        QCOMPARE(app.window.model()->currentFlags(), switched ? switchedMarks : oldMarks);
        QCOMPARE(app.list()->currentIndex().row(), row);
        QCOMPARE(app.window.cursor().shape(), Qt::ArrowCursor);
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
        QCOMPARE((QStringList{app.text("txtHostname"), app.text("txtIP"), app.text("txtPort")}),
                 (QStringList{"best", "127.0.0.1", QString::number(accepting.port)}));
        QStringList steps; // the status at each step of the progress bar
        connect(app.child<QProgressBar>("prg"), &QProgressBar::valueChanged, this,
                [&app, &steps](int value) { steps.append(QString::number(value) + " " + app.text("lblStatus")); });
        QTRY_COMPARE(app.fake.eventsOf("box"),
                     QStringList{"information:Server test finished!\r\n====================\r\nConnection time: 0.25 "
                                 "seconds\r\nResponse time: 0.75 seconds.\r\nRating: Normal"});
        QCOMPARE(steps, (QStringList{"1 Connecting...", "2 Waiting for response...", "3 Finished!"}));
        QCOMPARE(app.text("lblTesting"), "Finished!");
        // Only Close and the close box close it.
        QTest::keyClick(app.child("frmTest"), Qt::Key_Escape);
        QVERIFY(app.child("frmTest")->isVisible());
        app.click("cmdClose");
        QTRY_VERIFY(!app.child("frmTest"));

        app.list()->setCurrentIndex(app.window.model()->index(2, 0));
        app.click("cmdTestServer");
        QTRY_COMPARE(app.text("lblTesting"), "Error (Connection refused)");
        app.click("cmdClose");
        app.fake.events.clear();

        app.click("cmdTestList");
        auto *results = app.child<QTreeView>("lvwResults");
        QTRY_COMPARE(app.text("lblProgress"), "Tested 5 of 6 servers");
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
        app.doubleClickResult(4);
        QVERIFY(!app.enabled("cmdUse"));
        app.doubleClickResult(3);
        QCOMPARE(app.fake.events, QStringList{"box:error:This server has no IP address."});

        QCOMPARE(app.text("cmdStop"), "Stop");
        app.fake.clock.now += 10; // the silent server's time is up
        QTRY_COMPARE(app.text("cmdStop"), "Test Again");
        app.click("cmdStop");
        QTRY_COMPARE(app.text("lblProgress"), "Tested 5 of 6 servers");
        app.doubleClickResult(2); // its sign-out waits: no second switch while one runs
        QVERIFY(!app.enabled("cmdUse"));
        app.fake.answerHeld();
        QTRY_COMPARE(app.fake.eventsOf("write"),
                     QStringList{serverPath + "=best;127.0.0.1:" + QString::number(accepting.port)});
        QTRY_VERIFY(app.enabled("cmdUse")); // the switch has ended
        app.click("cmdStop");
        QCOMPARE(app.text("cmdStop"), "Test Again");
        QTRY_COMPARE(silent.openNow(), 0);

        app.click("cmdClose");
        QTRY_VERIFY(!app.child("frmTestList"));
    }

    // The windows shown: each control in its place, the main list's columns
    // and the Test List's row of buttons; each control named for screen
    // readers, the About box's link (it opens its page only where ShowLinks
    // is an empty text, not a blank) and Esc that closes the box, the main
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
            {"frmTest", "lblIP", {8, 8, 14, 13}},
            {"frmTest", "lblHostName", {8, 24, 52, 13}},
            {"frmTest", "lblPort", {8, 40, 24, 13}},
            {"frmTest", "lblTesting", {8, 80, 31, 13}},
            {"frmTest", "lblStatus", {218, 80, 31, 13}},
            {"frmTest", "txtIP", {24, 8, 313, 13}},
            {"frmTest", "txtHostname", {64, 24, 273, 13}},
            {"frmTest", "txtPort", {40, 40, 297, 13}},
            {"frmTest", "prg", {8, 56, 329, 17}},
            {"frmTest", "cmdClose", {256, 80, 81, 25}},
            {"frmabout", nullptr, {0, 0, 186, 233}},
            {"frmabout", "lblTitle", {56, 8, 118, 25}},
            {"frmabout", "lblByME", {115, 40, 62, 13}},
            {"frmabout", "lblInfo", {16, 56, 161, 121}},
            {"frmabout", "cmdClose", {96, 200, 81, 25}},
            {"frmabout", "Image1", {8, 8, 32, 32}},
        };
        for (const Place &place : places) {
            QWidget *window = app.child(place.window);
            QWidget *control = place.control ? window->findChild<QWidget *>(place.control) : nullptr;
            // A label sized to its text keeps its row and the edge it is aligned to; its width is the text's.
            if (auto *label = qobject_cast<AutoSizeLabel *>(control)) {
                const int width = label->width();
                const int left = label->alignment() & Qt::AlignRight ? place.place.right() + 1 - width
                                                                     : place.place.x();
                QCOMPARE(label->geometry(), QRect(left, place.place.y(), width, place.place.height()));
                continue;
            }
            QCOMPARE(control ? control->geometry() : window->rect(), place.place);
        }
        QStringList headers; // of the main list's columns, and their widths
        QList<int> widths;
        for (int column = 0; column < ServerListModel::ColumnCount; ++column) {
            headers.append(app.list()->model()->headerData(column, Qt::Horizontal).toString());
            widths.append(app.list()->header()->sectionSize(column));
        }
        QCOMPARE(headers, (QStringList{"Host Name", "Host IP", "Port", ""}));
        QCOMPARE(widths, (QList<int>{147, 90, 37, 96}));
        // The Test List's buttons in one row, left to right.
        QRect last;
        for (const char *name : {"cmdStop", "cmdUse", "cmdCopy", "cmdClose"}) {
            const QRect button = app.child("frmTestList")->findChild<QWidget *>(name)->geometry();
            QVERIFY2(last.isNull() || (button.left() > last.right() && button.top() == last.top()), name);
            last = button;
        }
        for (const char *top : {"frmMain", "frmTest", "frmabout", "frmTestList"}) {
            QVERIFY2(app.child(top)->isVisible(), top);
            // Each dialog blocks the main window while it is open.
            QCOMPARE(app.child(top)->windowModality(), qstrcmp(top, "frmMain") ? Qt::ApplicationModal : Qt::NonModal);
            // Qt's own parts of a control, and plain containers, are no controls.
            for (QWidget *widget : app.child(top)->findChildren<QWidget *>()) {
                if (widget->objectName().isEmpty() || widget->objectName().startsWith("qt_") || !widget->isVisible()
                    || widget->metaObject() == &QWidget::staticMetaObject)
                    continue;
                QVERIFY2(!QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name).isEmpty(),
                         qPrintable(widget->objectName()));
            }
        }

        QCOMPARE(app.child("lblSupport")->palette().color(QPalette::WindowText), QColor(0, 0, 255)); // a link's blue
        setRegistryText(app.fake, ShowLinksPath, " ");
        QTest::mouseClick(app.child("lblSupport"), Qt::LeftButton);
        setRegistryText(app.fake, ShowLinksPath, "");
        QTest::mouseClick(app.child("lblSupport"), Qt::LeftButton);
        QCOMPARE(app.fake.eventsOf("open"), QStringList{AboutReferralUrl});
        QTest::keyClick(app.child("frmabout"), Qt::Key_Escape);
        QTRY_VERIFY(!app.child("frmabout"));
        app.child("frmTestList")->close();
        app.child("frmTest")->close();
        QTRY_COMPARE(app.window.focusWidget(), app.list());
        QStringList chain;
        for (QWidget *next = app.list()->nextInFocusChain(); next != app.list(); next = next->nextInFocusChain()) {
            if (next->focusPolicy() & Qt::TabFocus && !next->objectName().isEmpty())
                chain.append(next->objectName());
        }
        QCOMPARE(chain, (QStringList{"txtInfo", "cmdTestList", "cmdTestServer", "cmdUseServer"}));
        const QString family = QFontInfo(app.child("cmdUseServer")->font()).family();
        // Wine's Tahoma where Debian's fonts-wine has it, else a narrow stand-in.
        QCOMPARE(family, QFile::exists("/usr/share/wine/fonts/tahoma.ttf") ? "Tahoma" : "DejaVu Sans Condensed");
    }
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
