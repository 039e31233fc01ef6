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

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QClipboard>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRegularExpression>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

namespace {

const QString serverPath = QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger\\Server");

// The main window over the fake machine, filled and shown as start-up does.
struct Fixture
{
    explicit Fixture(const QByteArray &list, const QString &setting = QString(), bool withMessenger = true)
        : messenger(withMessenger ? fake.createMessenger(&unused) : nullptr)
    {
        if (!setting.isEmpty())
            setRegistryText(fake, serverPath, setting);
        window.setServerList(ServerList::parse(list, parseCurrentServer(setting)));
        window.setStatusText(itemCountText(window.model()->rowCount()));
        window.show();
        window.activateList();
    }

    // A control of the window or of one of its dialogs, or the dialog.
    template<typename T>
    T *child(const char *name) const
    {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (T *found = top->objectName() == QLatin1String(name) ? qobject_cast<T *>(top)
                                                                    : top->findChild<T *>(QLatin1String(name)))
                return found;
        }
        return nullptr;
    }
    QTreeView *list() const { return child<QTreeView>("lvw"); }
    QString details() const { return child<QPlainTextEdit>("txtInfo")->toPlainText(); }
    void clickRow(int row) const
    {
        const QRect cell = list()->visualRect(window.model()->index(row, 0));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, cell.center());
    }
    void click(const char *button) const { QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton); }

    FakePlatform fake;
    QString unused; // why the fake could not create an object: it always can
    std::unique_ptr<Messenger> messenger;
    std::unique_ptr<Registry> registry = fake.createRegistry(&unused);
    MainWindow window{messenger.get(), *registry, fake, fake, fake.clock, *fake.connector};
};

// What the machine does with a switch; "later": the sign-out and the write
// answer from the event loop, as Wine's helper does.
enum class Trouble { None, NoMessenger, WriteRefused, WriteRefusedButStored, WriteRefusedLater };

QStringList accessibleProblems(QWidget *top)
{
    QStringList problems;
    for (QWidget *widget : top->findChildren<QWidget *>()) {
        // Qt's own parts of a control, and plain containers, are not controls.
        if (widget->objectName().isEmpty() || widget->objectName().startsWith("qt_") || !widget->isVisible()
            || widget->metaObject() == &QWidget::staticMetaObject)
            continue;
        const auto *label = qobject_cast<QLabel *>(widget);
        const auto *button = qobject_cast<QAbstractButton *>(widget);
        const QString visible = label ? label->text() : button ? button->text() : QString();
        const QString name = QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
        if (name.isEmpty() || !name.contains(visible))
            problems.append(widget->objectName() + ": \"" + name + "\"");
    }
    return problems;
}

} // namespace

Q_DECLARE_METATYPE(Trouble)

// The windows as a user meets them: clicks, keys, menus, what they show.
class TestWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { provideTahoma(); }

    void details()
    {
        Fixture app("a;10.0.0.1;1863\r\n;;x\r\n" + QByteArray(2 * 1024 * 1024, 'h') + ";i;1\r\n");
        QCOMPARE(app.details(), "Host name: a\nIP Address: 10.0.0.1\nPort: 1863");
        app.clickRow(1);
        QCOMPARE(app.details(), "Host name: (Unknown host)\nIP Address: \nPort: 0");
        QTest::keyClick(app.list(), Qt::Key_Down);
        QCOMPARE(app.details().size(),
                 QString("Host name: \nIP Address: i\nPort: 1").size() + ServerListModel::DisplayLimit);

        Fixture empty(""); // nothing to test or switch to
        QVERIFY(!empty.window.findChild<QPushButton *>("cmdTestServer")->isEnabled());
        QVERIFY(!empty.window.findChild<QPushButton *>("cmdUseServer")->isEnabled());
        QCOMPARE(empty.window.findChild<QPlainTextEdit *>("txtInfo")->toPlainText(), "Please select a server.\n");
    }

    void useServer_data()
    {
        QTest::addColumn<Trouble>("trouble");
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QVector<bool>>("marks");
        const QString write = "write:" + serverPath + "=b;10.0.0.2:1863";
        const QString refused = "box:error:The Messenger server setting could not be changed.\r\n\r\nAccess denied.";
        const QString stored = "box:error:Switching reported a fault, but the Messenger server setting was changed."
                               "\r\n\r\nAccess denied.";
        QTest::newRow("switch") << Trouble::None << QStringList{"signout", write} << QVector<bool>{false, true, false};
        QTest::newRow("without Messenger")
            << Trouble::NoMessenger << QStringList{write} << QVector<bool>{false, true, false};
        QTest::newRow("refused write puts the marks back")
            << Trouble::WriteRefused << QStringList{"signout", write, refused} << QVector<bool>{true, false, true};
        QTest::newRow("refused write that changed the value")
            << Trouble::WriteRefusedButStored << QStringList{"signout", write, stored}
            << QVector<bool>{false, true, false};
        QTest::newRow("refused write answered later, a second click ignored")
            << Trouble::WriteRefusedLater << QStringList{"signout", write, refused} << QVector<bool>{true, false, true};
    }

    void useServer()
    {
        QFETCH(Trouble, trouble);
        QFETCH(QStringList, events);
        QFETCH(QVector<bool>, marks);
        Fixture app("a;10.0.0.1;1863\r\nb;10.0.0.2;01863\r\nA;10.0.0.1;1863\r\n", "a;10.0.0.1:1863",
                    trouble != Trouble::NoMessenger);
        const bool answersLater = trouble == Trouble::WriteRefusedLater;
        app.fake.failWrites = trouble != Trouble::None && trouble != Trouble::NoMessenger;
        app.fake.failWritesAfterStoring = trouble == Trouble::WriteRefusedButStored;
        app.fake.signOutLater = answersLater;
        app.fake.writesLater = answersLater;
        app.clickRow(1);
        app.click("cmdUseServer");
        if (answersLater) { // the window waits without blocking, and takes no second switch or test
            QVERIFY(!app.child<QPushButton>("cmdUseServer")->isEnabled());
            QVERIFY(!app.child<QPushButton>("cmdTestServer")->isEnabled());
            QCOMPARE(app.window.cursor().shape(), Qt::BusyCursor);
            QVERIFY(!app.window.switcher()->switchTo(0));
            QCOMPARE(app.fake.events, QStringList{"signout"});
            app.fake.answerSignOut();
            app.fake.answerWrite();
            QVERIFY(app.fake.eventsOf("box").isEmpty()); // a box opens once the registry's answer is handled
        }
        QTRY_COMPARE(app.fake.events, events);
        QCOMPARE(app.window.model()->currentFlags(), marks);
        QCOMPARE(app.list()->currentIndex().row(), 1);
        QTRY_VERIFY(app.child<QPushButton>("cmdUseServer")->isEnabled());
        QCOMPARE(app.window.cursor().shape(), Qt::ArrowCursor);
        QTRY_COMPARE(app.window.focusWidget(), app.list());
    }

    // A row without an IP address or port is no server: in the main window
    // and in Test List a box says so, and nothing is signed out, written or
    // marked.
    void useServerWithoutAddress_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("box");
        QTest::newRow("no IP address") << 1 << "error:This server has no IP address.";
        QTest::newRow("no port") << 2 << "error:This server has no port.";
        QTest::newRow("a port that is no number") << 3 << "error:This server has no port.";
    }

    void useServerWithoutAddress()
    {
        QFETCH(int, row);
        QFETCH(QString, box);
        LoopbackServer refusing(LoopbackServer::Behaviour::Refuse); // Test List reaches loopback alone
        const QByteArray port = QByteArray::number(refusing.port);
        Fixture app("a;127.0.0.1;" + port + "\r\nnoip;;1863\r\nnoport;10.0.0.3\r\nletters;10.0.0.4;port\r\n",
                    "a;127.0.0.1:" + port);
        app.clickRow(row);
        app.click("cmdUseServer");
        app.click("cmdTestList");
        auto *results = app.child<QTreeView>("lvwResults");
        QTRY_COMPARE(app.child<QLabel>("lblProgress")->text(), "Tested 4 of 4 servers");
        const QModelIndexList found = results->model()->match(results->model()->index(0, 0), Qt::DisplayRole,
                                                              app.window.model()->row(row).host);
        QCOMPARE(found.size(), 1);
        const QPoint place = results->visualRect(found.first()).center();
        QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, place); // a double-click's first click
        QTest::mouseDClick(results->viewport(), Qt::LeftButton, {}, place);
        QCOMPARE(app.fake.events, (QStringList{"box:" + box, "box:" + box}));
        QCOMPARE(app.window.model()->currentFlags(), (QVector<bool>{true, false, false, false}));
    }

    void serverTest_data()
    {
        QTest::addColumn<bool>("answers");
        QTest::addColumn<QString>("testing");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("progress");
        QTest::newRow("answered") << true << "Finished!"
                                  << "Finished!" << 3;
        QTest::newRow("refused") << false << "Error (Connection refused)"
                                 << "Connecting..." << 0;
    }

    void serverTest()
    {
        QFETCH(bool, answers);
        QFETCH(QString, testing);
        QFETCH(QString, status);
        QFETCH(int, progress);
        LoopbackServer server(answers ? LoopbackServer::Behaviour::Answer : LoopbackServer::Behaviour::Refuse);
        const quint16 port = server.port;
        Fixture app("host;10.0.0.1;1\r\nlocal;127.0.0.1;" + QByteArray::number(port) + "junk\r\n");
        // Start, connected, probe sent, reply: 0.25 s to connect, 0.75 s to answer.
        app.fake.clock.queued = {1000.0, 1000.25, 1000.5, 1001.25};
        app.clickRow(1);
        app.click("cmdTestServer");
        auto *dialog = app.child<ServerTestDialog>("frmTest");
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(app.child<QLineEdit>("txtPort")->text(), QString::number(port));
        QTRY_COMPARE_WITH_TIMEOUT(app.child<QLabel>("lblTesting")->text(), testing, 5000);
        QCOMPARE(app.child<QLabel>("lblStatus")->text(), status);
        QCOMPARE(app.child<QProgressBar>("prg")->value(), progress);
        if (answers) {
            const QString report = "information:Server test finished!\r\n====================\r\n"
                                   "Connection time: 0.25 seconds\r\nResponse time: 0.75 seconds.\r\nRating: Normal";
            QTRY_COMPARE(app.fake.eventsOf("box"), QStringList{report});
        }
        app.click("cmdClose");
        QTRY_VERIFY(!app.child<ServerTestDialog>("frmTest"));
        QTRY_COMPARE(app.window.focusWidget(), app.list());
    }

    // Test List: its rows best first while one server is still untested,
    // then sorted on Reply the other way (the untested row still last, ties
    // in list order), Copy, a failed row that cannot be used, Stop and Test
    // Again, a double-click that switches, and no connection left.
    void testList()
    {
        LoopbackServer accepting(LoopbackServer::Behaviour::Answer, "VER 2 MSNP9 CVR0\r\n");
        LoopbackServer noCommon(LoopbackServer::Behaviour::Answer, "VER 2 0\r\n");
        LoopbackServer refusing(LoopbackServer::Behaviour::Refuse);
        LoopbackServer silent(LoopbackServer::Behaviour::Silent);
        const auto line = [](const char *host, const LoopbackServer &server) {
            return host + QByteArray(";127.0.0.1;") + QByteArray::number(server.port) + "\r\n";
        };
        Fixture app(line("silent", silent) + line("b", noCommon) + line("refused", refusing) + line("best", accepting)
                    + line("c", noCommon));
        app.click("cmdTestList");
        auto *results = app.child<QTreeView>("lvwResults");
        QAbstractItemModelTester checker(results->model());
        auto *stop = app.child<QPushButton>("cmdStop");
        QTRY_COMPARE(app.child<QLabel>("lblProgress")->text(), "Tested 4 of 5 servers");
        const auto shownRows = [results] {
            QStringList rows;
            for (int row = 0; row < results->model()->rowCount(); ++row)
                rows.append(results->model()->index(row, ListTestModel::HostColumn).data().toString() + ": "
                            + results->model()->index(row, ListTestModel::ReplyColumn).data().toString());
            return rows;
        };
        QCOMPARE(shownRows(),
                 (QStringList{"best: MSNP9", "b: No common version", "c: No common version",
                              "refused: Error (Connection refused)", "silent: "}));
        results->sortByColumn(ListTestModel::HostColumn, Qt::DescendingOrder); // c before b, then ties in list order
        results->sortByColumn(ListTestModel::ReplyColumn, Qt::DescendingOrder);
        QCOMPARE(shownRows(),
                 (QStringList{"b: No common version", "c: No common version", "best: MSNP9",
                              "refused: Error (Connection refused)", "silent: "}));
        QTest::mouseClick(app.child<QPushButton>("cmdCopy"), Qt::LeftButton);
        QVERIFY(QGuiApplication::clipboard()->text().startsWith(
            "Host Name\tHost IP\tPort\tConnection\tResponse\tRating\tReply\nb\t127.0.0.1\t"));
        const auto centreOf = [results](int row) {
            return results->visualRect(results->model()->index(row, 0)).center();
        };
        QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, centreOf(3));
        QVERIFY(!app.child<QPushButton>("cmdUse")->isEnabled());

        QCOMPARE(stop->text(), "Stop");
        QTest::mouseClick(stop, Qt::LeftButton);
        QCOMPARE(stop->text(), "Test Again");
        QTRY_COMPARE(silent.openNow(), 0);
        QTest::mouseClick(stop, Qt::LeftButton);
        QCOMPARE(stop->text(), "Stop");
        QTRY_COMPARE(app.child<QLabel>("lblProgress")->text(), "Tested 4 of 5 servers");
        QCOMPARE(accepting.connections, 2);
        QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, centreOf(2)); // a double-click's first click
        QTest::mouseDClick(results->viewport(), Qt::LeftButton, {}, centreOf(2));
        QTRY_COMPARE(
            app.fake.events,
            (QStringList{"signout", "write:" + serverPath + "=best;127.0.0.1:" + QString::number(accepting.port)}));
        QCOMPARE(app.window.model()->currentFlags(), (QVector<bool>{false, false, false, true, false}));

        QTest::mouseClick(app.child<QPushButton>("cmdClose"), Qt::LeftButton);
        QTRY_VERIFY(!app.child<QDialog>("frmTestList"));
        QCOMPARE(noCommon.openNow() + accepting.openNow() + silent.openNow(), 0);
    }

    void about_data()
    {
        QTest::addColumn<QString>("showLinks"); // "-": no value
        QTest::addColumn<int>("closeKey");
        QTest::newRow("links allowed, Esc") << "" << int(Qt::Key_Escape);
        QTest::newRow("blank, Enter") << " " << int(Qt::Key_Return);
        QTest::newRow("no value, Esc") << "-" << int(Qt::Key_Escape);
    }

    void about()
    {
        QFETCH(QString, showLinks);
        QFETCH(int, closeKey);
        Fixture app("a;1;1\r\n");
        if (showLinks != "-")
            setRegistryText(app.fake, ShowLinksPath, showLinks);
        app.child<QAction>("mnuAbout")->trigger();
        auto *about = app.child<AboutDialog>("frmabout");
        QVERIFY(about && about->isVisible());
        auto *link = app.child<QLabel>("lblSupport");
        QTest::mouseClick(link, Qt::LeftButton);
        QTest::mouseClick(link, Qt::LeftButton);
        QCOMPARE(app.fake.eventsOf("open"), showLinks.isEmpty() ? QStringList(2, AboutReferralUrl) : QStringList());
        QTest::keyClick(about, Qt::Key(closeKey));
        QTRY_VERIFY(!app.child<AboutDialog>("frmabout"));
        QTRY_COMPARE(app.window.focusWidget(), app.list());
    }

    // The fixed places of the controls, the tab chain, and every control
    // found by what it shows and showing it whole.
    void screen()
    {
        Fixture app("a;127.0.0.1;1\r\n", "a;127.0.0.1:1");
        app.click("cmdTestList");
        app.click("cmdTestServer");
        app.child<QAction>("mnuAbout")->trigger();
        const QMap<QString, QRect> places{
            {"lvw", {0, 0, 481, 185}},
            {"stb", {0, 287, 481, 17}},
            {"txtInfo", {8, 192, 465, 57}},
            {"cmdTestServer", {304, 256, 81, 25}},
            {"cmdTestList", {216, 256, 81, 25}},
            {"cmdUseServer", {392, 256, 81, 25}},
            {"txtIP", {24, 8, 313, 13}},
            {"txtHostname", {64, 24, 273, 13}},
            {"txtPort", {40, 40, 297, 13}},
            {"prg", {8, 56, 329, 17}},
            {"frmTest/cmdClose", {256, 80, 81, 25}},
            {"lblTitle", {56, 8, 118, 25}},
            {"lblInfo", {16, 56, 161, 121}},
            {"frmabout/cmdClose", {96, 200, 81, 25}},
            {"Image1", {8, 8, 32, 32}},
        };
        for (auto place = places.cbegin(); place != places.cend(); ++place) {
            const QStringList path = place.key().split('/');
            QWidget *widget = path.size() == 1 ? app.child<QWidget>(qPrintable(path[0]))
                                               : app.child<QWidget>(qPrintable(path[0]))->findChild<QWidget *>(path[1]);
            QVERIFY2(widget && widget->geometry() == place.value(), qPrintable(place.key()));
        }
        QCOMPARE(app.child<QWidget>("frmTest")->size(), QSize(346, 113));
        QCOMPARE(app.child<QWidget>("frmabout")->size(), QSize(186, 233));
        for (const char *top : {"frmMain", "frmTest", "frmabout", "frmTestList"})
            QVERIFY2(accessibleProblems(app.child<QWidget>(top)).isEmpty(),
                     qPrintable(accessibleProblems(app.child<QWidget>(top)).join(", ")));

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

        auto *button = app.child<QPushButton>("cmdUseServer");
        QVERIFY(QFontInfo(button->font()).family().contains(QRegularExpression("Tahoma|Condensed")));
    }
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
