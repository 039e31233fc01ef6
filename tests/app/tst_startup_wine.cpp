// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up in a real Wine prefix (tests/platform/win32/wine-prefix.sh) whose wineserver runs, so that the
// registry is read through the helper while the first box has already closed.
#include "core/MessengerSetting.h"
#include "core/ServerListModel.h"
#include "platform/linux/DesktopServices.h"
#include "platform/linux/LinuxSystemObjects.h"
#include "platform/wine/WineSystemObjects.h"
#include "support/FakePlatform.h"
#include "support/RunAsUser.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

namespace {

// Runs a program to its end, for at most five minutes, and gives what it printed.
QString runQuietly(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(300000))
        process.kill();
    process.waitForFinished(5000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class TestStartupWine : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home; // HOME, the settings and the program's folder with its list
    QString m_wineserver; // empty until the prefix is made

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("HOME", m_home.path().toUtf8()); // Wine away from the user's own prefixes
        const char *script = "source \"${0%/*}/wine-env.sh\" && [[ -n $wine64 ]] && echo \"$wine64\""
                             " && echo \"$wineserver\" && bash \"$0\" \"$1\"";
        const QStringList wine = runQuietly("bash",
                                            {"-c", script, NEXOLAN_SOURCE_DIR "/tests/platform/win32/wine-prefix.sh",
                                             NEXOLAN_BUILD_DIR "/tests/app/wine-prefix"})
                                     .trimmed()
                                     .split(u'\n');
        if (wine.size() < 2 || !QFile::exists(NEXOLAN_BUILD_DIR "/nexolan-messenger-x64.exe"))
            QSKIP("No 64-bit Wine, or the Windows helper was not built");
        QVERIFY2(wine.size() == 3 && QFile::exists(wine[2] + "/.complete"), "the Wine prefix could not be made");
        qputenv("WINEPREFIX", wine[2].toUtf8());
        qputenv("WINELOADER", wine[0].toUtf8()); // as the wine command sets it
        m_wineserver = wine[1];
        cleanupTestCase(); // no server left from an earlier run
    }
    void cleanupTestCase()
    {
        if (m_wineserver.isEmpty())
            return;
        runQuietly(m_wineserver, {"-k"}); // WINEPREFIX's: the one this test started
        runQuietly(m_wineserver, {"-w"});
    }

    // The first launch: the API box (no Messenger in the prefix) and the
    // first-run notice, as the desktop shows them, each closed with OK; then
    // the window with the list's count and first row, marked from the
    // prefix's value, the focus on the list; closing it ends the program.
    void boxesThenTheWindow()
    {
        QFile list(m_home.filePath("nexolan.dat"));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("other;10.0.0.2;1863\r\nmyhost;10.0.0.1;1863\r\n");
        list.close();
        DesktopServices desktop;
        LinuxSystemObjects objects(
            m_home.filePath("registry.reg"), desktop,
            std::make_unique<WineSystemObjects>(findWinePrefix(WineEnvironment::fromProcess()), NEXOLAN_BUILD_DIR));
        QString error;
        bool written = false;
        objects.createRegistry(&error)->write(
            MessengerServerValue, "myhost;10.0.0.1:1863",
            [&written](bool done, const QString &, const RegistryReading &) { written = done; });
        QVERIFY(written); // into user.reg, no wineserver running yet
        runQuietly(m_wineserver, {"-p60"}); // a server for the prefix: reads go through the helper

        FakePlatform fake; // the settings and the pages opened, in memory
        Platform platform{objects, fake, desktop, fake, fake.clock, *fake.connector, m_home.path(), "nexolan"};
        QStringList shown;
        QVector<bool> marks;
        const ProgramRun run = runAsUser(
            platform,
            [&shown, &marks](MainWindow &window) {
                shown << window.findChild<QStatusBar *>("stb")->findChild<QLabel *>()->text()
                      << window.findChild<QPlainTextEdit *>("txtInfo")->toPlainText();
                marks = window.model()->currentFlags();
                QCOMPARE(window.focusWidget(), window.findChild<QTreeView *>("lvw"));
            },
            60000);
        const QString title = "Nexolan - By Torvik";
        const QString apiText = "Can not load the Messenger API Type Library. If you are on Windows XP, this could be "
                                "the reason.";
        const QList<SeenBox> boxes{{title, apiText, QMessageBox::Critical, false},
                                   {title, firstRunNotice().replace("\r\n", "\n"), QMessageBox::Information, true}};
        QCOMPARE(run.boxes, boxes);
        QCOMPARE(fake.events, QStringList{"save:Opened=1"}); // no referral page without the registry's leave
        QCOMPARE(shown, (QStringList{"2 items in database.", "Host name: other\nIP Address: 10.0.0.2\nPort: 1863"}));
        QCOMPARE(marks, (QVector<bool>{false, true}));
        QCOMPARE(run.exitStatus, 0);
    }
};

QTEST_MAIN(TestStartupWine)
#include "tst_startup_wine.moc"
