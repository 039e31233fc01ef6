#include "app/Startup.h"
#include "core/ServerListModel.h"
#include "support/FakePlatform.h"
#include "ui/main/frmMain.h"
#include "ui/about/modGrimhal.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

namespace {

const QString apiBox = QStringLiteral("16:Can not load the Messenger API Type Library. If you are on Windows XP, this could be the reason.");

} // namespace

// Start-up: its steps in order, as the machine sees them.
class TestStartup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void order_data()
    {
        QTest::addColumn<bool>("messenger");
        QTest::addColumn<QString>("counter"); // "-": none stored
        QTest::addColumn<QString>("showLinks"); // "-": no value
        QTest::addColumn<bool>("listFile");
        QTest::addColumn<QStringList>("events");
        const QString notice = "box:4160:" + firstRunNotice();
        const QString open = "open:" + StartupReferralUrl;
        QTest::newRow("first launch without Messenger") << false << "-" << "-" << true
                                                        << QStringList{"box:" + apiBox, notice, "save:Opened=1"};
        QTest::newRow("second launch, links allowed") << true << "1" << "" << true
                                                      << QStringList{open, "save:Opened=2"};
        QTest::newRow("links not allowed by a blank") << true << "2.5" << " " << true << QStringList{"save:Opened=3.5"};
        QTest::newRow("a list as counter") << true << "5,6" << "-" << true << QStringList{"save:Opened=6"};
        QTest::newRow("negative counter") << true << "-5" << "-" << true << QStringList{notice, "save:Opened=-4"};
        QTest::newRow("no counter, no list") << true << "-" << "-" << false
                                             << QStringList{notice, "save:Opened=1", "box:16:Error: Server files not found!"};
    }

    void order()
    {
        QFETCH(bool, messenger);
        QFETCH(QString, counter);
        QFETCH(QString, showLinks);
        QFETCH(bool, listFile);
        QFETCH(QStringList, events);
        QTemporaryDir dir;
        if (listFile) {
            QFile file(dir.filePath("nexolan.dat"));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        FakePlatform fake(dir.path());
        fake.messengerAvailable = messenger;
        if (counter != "-")
            fake.settings.insert("Opened", counter);
        if (showLinks != "-")
            setRegistryText(fake, ShowLinksPath, showLinks);
        AppGlobals globals;
        const auto window = Main(fake.platform, globals);
        QCOMPARE(fake.events, events);
        QCOMPARE(bool(window), listFile);
        QCOMPARE(globals.MessengerLoaded, messenger);
    }

    // The shown window: the list with its marks, the count, the first row's
    // details and the focus on the list.
    void filledWindow()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath("nexolan.dat"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("other;10.0.0.2;1863\r\nmyhost;10.0.0.1;1863\r\n;10.0.0.3;80\r\n");
        file.close();
        FakePlatform fake(dir.path());
        fake.settings.insert("Opened", "1");
        setRegistryText(fake, "HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger\\Server", "MyHost;10.0.0.1:1863");
        AppGlobals globals;
        const auto window = Main(fake.platform, globals);
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->model()->currentFlags(), (QVector<bool>{false, true, false}));
        QCOMPARE(window->findChild<QStatusBar *>("stb")->findChild<QLabel *>()->text(), "3 items in database.");
        QCOMPARE(window->findChild<QPlainTextEdit *>("txtInfo")->toPlainText(),
                 "Host name: other\nIP Address: 10.0.0.2\nPort: 1863");
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QCOMPARE(QApplication::focusWidget(), window->findChild<QTreeView *>("lvw"));
    }

    void listTooLarge()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath("nexolan.dat"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(ServerListSizeLimit + 1));
        file.close();
        FakePlatform fake(dir.path());
        fake.settings.insert("Opened", "1");
        AppGlobals globals;
        const auto window = Main(fake.platform, globals);
        QVERIFY(window);
        QCOMPARE(window->model()->rowCount(), 0);
        const QStringList boxes = fake.eventsOf("box");
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes.first().startsWith("16:Cannot read " + QDir::toNativeSeparators(file.fileName())
                                         + ": it has 64.0 MiB (67,108,865 bytes)"));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
