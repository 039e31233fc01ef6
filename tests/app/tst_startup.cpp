// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Startup.h"
#include "core/MessengerSetting.h"
#include "core/ServerListModel.h"
#include "support/FakePlatform.h"
#include "support/RunAsUser.h"
#include "ui/main/MainWindow.h"
#include "ui/about/ReferralLinks.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <functional>
#include <utility>

namespace {

const QString apiBox = QStringLiteral(
    "error:Can not load the Messenger API Type Library. If you are on Windows XP, this could be the reason.");

// Start-up on the fake machine, whose registry answers at once: it ends within the call.
std::unique_ptr<MainWindow> startUpNow(FakePlatform &fake, StartedObjects &started)
{
    std::unique_ptr<MainWindow> shown;
    startUp(fake.platform, started, [&shown](std::unique_ptr<MainWindow> window) { shown = std::move(window); });
    return shown;
}

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
        QTest::addColumn<qint64>("listSize"); // -1: no list file
        QTest::addColumn<QStringList>("events"); // %1: the list file's path
        const QString notice = "box:system-modal:" + firstRunNotice();
        const QString open = "open:" + StartupReferralUrl;
        QTest::newRow("first launch without Messenger")
            << false << "-"
            << "-" << qint64(0) << QStringList{"box:" + apiBox, notice, "save:Opened=1"};
        QTest::newRow("second launch, links allowed") << true << "1"
                                                      << "" << qint64(0) << QStringList{open, "save:Opened=2"};
        QTest::newRow("links not allowed by a blank") << true << "2"
                                                      << " " << qint64(0) << QStringList{"save:Opened=3"};
        QTest::newRow("no counter, no list")
            << true << "-"
            << "-" << qint64(-1) << QStringList{notice, "save:Opened=1", "box:error:Error: Server files not found!"};
        QTest::newRow("list too large") << true << "1"
                                        << "-" << ServerListSizeLimit + 1
                                        << QStringList{"save:Opened=2",
                                                       "box:error:Cannot read %1: it has 64.0 MiB (67,108,865 bytes), "
                                                       "more than the 64.0 MiB (67,108,864 bytes) that are read."};
    }

    void order()
    {
        QFETCH(bool, messenger);
        QFETCH(QString, counter);
        QFETCH(QString, showLinks);
        QFETCH(qint64, listSize);
        QFETCH(QStringList, events);
        QTemporaryDir dir;
        QFile file(dir.filePath("nexolan.dat"));
        if (listSize >= 0)
            QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(listSize));
        events.replaceInStrings("%1", QDir::toNativeSeparators(file.fileName()));
        FakePlatform fake(dir.path());
        fake.messengerAvailable = messenger;
        if (counter != "-")
            fake.settings.insert("Opened", counter);
        if (showLinks != "-")
            setRegistryText(fake, ShowLinksPath, showLinks);
        StartedObjects started;
        const std::unique_ptr<MainWindow> window = startUpNow(fake, started);
        QCOMPARE(fake.events, events);
        QCOMPARE(bool(window), listSize >= 0);
    }

    // The API box and the first-run notice, closed while the registry's
    // answer is still to come (Wine's helper), never end the program: the
    // window comes up once the registry answers, marked, with the count, the
    // first row's details and the focus on the list, and closing it ends the
    // program.
    void boxesNeverEndTheProgram()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath("nexolan.dat"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("other;10.0.0.2;1863\r\nmyhost;10.0.0.1;1863\r\n");
        file.close();
        FakePlatform fake(dir.path());
        fake.messengerAvailable = false;
        setRegistryText(fake, MessengerServerValue, "MyHost;10.0.0.1:1863");
        fake.readsLater = true;
        fake.onMessageBox = [](const QString &text, MessageStyle) { // a real box, which the user closes
            QMessageBox box;
            box.setText(text);
            box.exec();
        };
        QTimer registry; // answers long after the API box closed
        connect(&registry, &QTimer::timeout, &registry, [&fake] {
            if (fake.answerRead)
                std::exchange(fake.answerRead, nullptr)();
        });
        registry.start(300);
        QStringList shown;
        const ProgramRun run = runAsUser(
            fake.platform,
            [&shown](MainWindow &window) {
                shown << window.findChild<QStatusBar *>("stb")->findChild<QLabel *>()->text()
                      << window.findChild<QPlainTextEdit *>("txtInfo")->toPlainText();
                QCOMPARE(window.model()->currentFlags(), (QVector<bool>{false, true}));
                QCOMPARE(window.focusWidget(), window.findChild<QTreeView *>("lvw"));
            },
            10000);
        QCOMPARE(run.boxes.size(), 2); // the API box and the first-run notice
        QCOMPARE(shown, (QStringList{"2 items in database.", "Host name: other\nIP Address: 10.0.0.2\nPort: 1863"}));
        QCOMPARE(run.exitStatus, 0);
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
