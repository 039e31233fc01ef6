// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Startup.h"
#include "core/ServerListModel.h"
#include "platform/linux/DesktopServices.h"
#include "platform/linux/LinuxSystemObjects.h"
#include "platform/wine/WineSystemObjects.h"
#include "support/FakePlatform.h"
#include "ui/about/ReferralLinks.h"
#include "ui/main/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QAbstractButton>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <tuple>

namespace {

// What a user saw of a message box: its title, text and icon, and whether
// it stays above every other window.
using SeenBox = std::tuple<QString, QString, QMessageBox::Icon, bool>;

// What a user saw of one run of the window program.
struct ProgramRun
{
    int exitStatus = -1; // -1: still running when the time was up
    QList<SeenBox> boxes; // in order
};

// Runs the window program as a user would: presses OK on each message box
// as it shows, and once the main window shows, hands it to `atWindow` and
// closes it. Message boxes must be real ones (QMessageBox).
ProgramRun runAsUser(Platform &platform, const std::function<void(MainWindow &)> &atWindow)
{
    ProgramRun run;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&run, &atWindow] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            const bool onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
            run.boxes.append({box->windowTitle(), box->text(), box->icon(), onTop});
            box->button(QMessageBox::Ok)->click();
            return;
        }
        for (QWidget *top : QApplication::topLevelWidgets()) {
            auto *window = qobject_cast<MainWindow *>(top);
            if (window && window->isVisible()) {
                atWindow(*window);
                window->close();
            }
        }
    });
    user.start(20);
    QTimer::singleShot(60000, &user, [] { QCoreApplication::exit(-1); }); // ends with `user`
    run.exitStatus = runWindowProgram(platform);
    return run;
}

// Runs a program to its end, for at most five minutes, and gives what it printed.
QString runQuietly(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(300000); // one still running then ends with `process`
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

// The window program's launches, their steps in order and how they end:
// later ones on the fake machine, the first in a real Wine prefix.
class TestStartup : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder; // the program's folder
    const QString m_list = m_folder.filePath("nexolan.dat");
    QString m_wineserver; // empty until the prefix is made

private Q_SLOTS:
    void laterLaunch_data()
    {
        QTest::addColumn<QString>("showLinks"); // the referral flag in the registry
        QTest::addColumn<bool>("listTooLarge"); // else a folder of the list's name
        QTest::addColumn<QStringList>("events"); // boxes, pages opened and settings saved, in order
        QTest::addColumn<int>("exitStatus");
        QTest::newRow("links not allowed by a blank, list too large")
            << " " << true
            << QStringList{"save:Opened=2",
                           "box:error:Cannot read " + m_list
                               + ": it has 64.0 MiB (67,108,865 bytes), more than the 64.0 MiB (67,108,864 bytes) "
                                 "that are read."}
            << 0;
        // A folder is no list, as a missing one.
        QTest::newRow("links allowed, a folder of the list's name")
            << "" << false
            << QStringList{"open:" + StartupReferralUrl, "save:Opened=2", "box:error:Error: Server files not found!"}
            << 1;
    }

    void laterLaunch()
    {
        QFETCH(QString, showLinks);
        QFETCH(bool, listTooLarge);
        QFETCH(QStringList, events);
        QFETCH(int, exitStatus);
        QFile file(m_list);
        if (listTooLarge)
            QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(ServerListSizeLimit + 1));
        else
            QVERIFY(file.remove() && QDir().mkdir(m_list));
        FakePlatform fake(m_folder.path());
        fake.settings.insert("Opened", "1");
        setRegistryText(fake, ShowLinksPath, showLinks);
        const ProgramRun run = runAsUser(fake.platform, [](MainWindow &) {});
        QCOMPARE(fake.events, events);
        QCOMPARE(run.exitStatus, exitStatus);
    }

    // The first launch, in the test's own prefix (tests/platform/win32/wine-prefix.sh) whose wineserver runs,
    // so that the registry is read through the helper while the first box has already closed: the API box (no
    // Messenger in the prefix) and the first-run notice, as the desktop shows them, each closed with OK; then
    // the window with the list's count and first row, marked from the prefix's value, the focus on the list;
    // closing it ends the program.
    void firstLaunchUnderWine()
    {
        QTemporaryDir home; // HOME, the settings and the program's folder with its list
        qputenv("HOME", home.path().toUtf8()); // Wine away from the user's own prefixes
        const char *script = "source \"${0%/*}/wine-env.sh\" && [[ -n $wine64 ]] && echo \"$wine64\""
                             " && echo \"$wineserver\" && bash \"$0\" \"$1\"";
        const QStringList arguments{"-c", script, NEXOLAN_SOURCE_DIR "/tests/platform/win32/wine-prefix.sh",
                                    NEXOLAN_BUILD_DIR "/tests/app/wine-prefix"};
        const QStringList wine = runQuietly("bash", arguments).trimmed().split(u'\n');
        if (wine.size() < 2 || !QFile::exists(NEXOLAN_BUILD_DIR "/nexolan-messenger-x64.exe"))
            QSKIP("No 64-bit Wine, or the Windows helper was not built");
        QVERIFY2(wine.size() == 3 && QFile::exists(wine[2] + "/.complete"), "the Wine prefix could not be made");
        qputenv("WINEPREFIX", wine[2].toUtf8());
        qputenv("WINELOADER", wine[0].toUtf8()); // as the wine command sets it
        m_wineserver = wine[1];
        cleanupTestCase(); // no server left from an earlier run

        QFile list(home.filePath("nexolan.dat"));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("other;10.0.0.2;1863\r\nmyhost;10.0.0.1;1863\r\n");
        list.close();
        DesktopServices desktop;
        LinuxSystemObjects objects(
            home.filePath("registry.reg"), desktop,
            std::make_unique<WineSystemObjects>(findWinePrefix(WineEnvironment::fromProcess()), NEXOLAN_BUILD_DIR));
        QString error;
        bool written = false;
        objects.createRegistry(&error)->write(
            MessengerServerValue, "myhost;10.0.0.1:1863",
            [&written](bool done, const QString &, const RegistryReading &) { written = done; });
        QVERIFY(written); // into user.reg, no wineserver running yet
        runQuietly(m_wineserver, {"-p60"}); // a server for the prefix: reads go through the helper

        FakePlatform fake; // the settings and the pages opened, in memory
        Platform platform{objects, fake, desktop, fake, fake.clock, *fake.connector, home.path(), "nexolan"};
        const ProgramRun run = runAsUser(platform, [](MainWindow &window) {
            QCOMPARE(window.findChild<QWidget *>("stbText")->property("text"), "2 items in database.");
            QCOMPARE(window.findChild<QWidget *>("txtInfo")->property("plainText"),
                     "Host name: other\nIP Address: 10.0.0.2\nPort: 1863");
            QCOMPARE(window.model()->currentFlags(), (QVector<bool>{false, true}));
            QCOMPARE(window.focusWidget(), window.findChild<QWidget *>("lvw"));
        });
        const QString title = "Nexolan - By Torvik";
        const QString apiText = "Can not load the Messenger API Type Library. If you are on Windows XP, this could be "
                                "the reason.";
        const QList<SeenBox> boxes{{title, apiText, QMessageBox::Critical, false},
                                   {title, firstRunNotice().replace("\r\n", "\n"), QMessageBox::Information, true}};
        QCOMPARE(run.boxes, boxes);
        QCOMPARE(fake.events, QStringList{"save:Opened=1"}); // no referral page without the registry's leave
        QCOMPARE(run.exitStatus, 0); // closed by the user, once the window was checked
    }

    void cleanupTestCase()
    {
        if (m_wineserver.isEmpty())
            return;
        runQuietly(m_wineserver, {"-k"}); // WINEPREFIX's: the one this test started
        runQuietly(m_wineserver, {"-w"});
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
