// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up in a real Wine prefix (tests/platform/win32/wine-prefix.sh) whose wineserver runs, so that the
// registry is read through the helper while the first box has already closed.
#include "core/MessengerSetting.h"
#include "core/ServerListModel.h"
#include "core/SteadyClock.h"
#include "platform/Platform.h"
#include "platform/SystemConnector.h"
#include "platform/linux/DesktopServices.h"
#include "platform/linux/IniSettingsStore.h"
#include "platform/linux/LinuxSystemObjects.h"
#include "platform/wine/WineSystemObjects.h"
#include "support/RunAsUser.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString apiBox = QStringLiteral("Can not load the Messenger API Type Library. If you are on Windows XP, this "
                                      "could be the reason.");

void runQuietly(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(300000))
        process.kill();
    process.waitForFinished(5000);
}

} // namespace

class TestStartupWine : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home; // HOME, the settings and the program's folder with its list
    QString m_prefix;
    QString m_wineserver;

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("HOME", m_home.path().toUtf8()); // Wine away from the user's own prefixes
        const char *script = "source \"${0%/*}/wine-env.sh\" && [[ -n $wine64 ]] && echo \"$wine64\""
                             " && echo \"$wineserver\" && bash \"$0\" \"$1\"";
        QProcess maker;
        maker.start("bash", {"-c", script, NEXOLAN_WINE_PREFIX_SCRIPT, NEXOLAN_WINE_TEST_PREFIX});
        QVERIFY(maker.waitForFinished(300000));
        const QStringList wine = QString::fromUtf8(maker.readAllStandardOutput()).trimmed().split(u'\n');
        if (wine.size() < 2 || !QFile::exists(NEXOLAN_HELPER_DIRECTORY "/nexolan-messenger-x64.exe"))
            QSKIP("No 64-bit Wine, or the Windows helper was not built");
        QVERIFY2(wine.size() == 3 && QFile::exists(wine[2] + "/.complete"), "the Wine prefix could not be made");
        m_wineserver = wine[1];
        m_prefix = wine[2];
        qputenv("WINEPREFIX", m_prefix.toUtf8());
        qputenv("WINELOADER", wine[0].toUtf8()); // as the wine command sets it
        runQuietly(m_wineserver, {"-k"});
        runQuietly(m_wineserver, {"-w"});
    }
    void cleanupTestCase()
    {
        if (m_prefix.isEmpty())
            return;
        runQuietly(m_wineserver, {"-k"}); // WINEPREFIX's: the one this test started
        runQuietly(m_wineserver, {"-w"});
    }

    // The API box (no Messenger in the prefix) and the first-run notice, each
    // closed with OK; then the window, marked from the prefix's value.
    void boxesThenTheWindow()
    {
        QFile list(m_home.filePath("nexolan.dat"));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("other;10.0.0.2;1863\r\nmyhost;10.0.0.1;1863\r\n");
        list.close();
        WineEnvironment environment = WineEnvironment::fromProcess();
        environment.home = m_home.path();
        DesktopServices desktop;
        LinuxSystemObjects objects(
            m_home.filePath("registry.reg"), desktop,
            std::make_unique<WineSystemObjects>(findWinePrefix(environment), NEXOLAN_HELPER_DIRECTORY));
        QString error;
        bool written = false;
        objects.createRegistry(&error)->write(
            MessengerServerValue, "myhost;10.0.0.1:1863",
            [&written](bool done, const QString &, const RegistryReading &) { written = done; });
        QVERIFY(written); // into user.reg, no wineserver running yet
        runQuietly(m_wineserver, {"-p60"}); // a server for the prefix: reads go through the helper

        IniSettingsStore settings(m_home.filePath("config"));
        SteadyClock clock;
        const std::unique_ptr<ProbeConnector> connector = createSystemConnector();
        Platform platform{objects, settings, desktop, desktop, clock, *connector, m_home.path(), "nexolan"};
        QVector<bool> marks;
        const ProgramRun run = runAsUser(
            platform, [&marks](MainWindow &window) { marks = window.model()->currentFlags(); }, 60000);
        QCOMPARE(run.boxes.value(0), apiBox);
        QCOMPARE(run.boxes.size(), 2); // and the first-run notice
        QVERIFY(run.windowShown);
        QCOMPARE(marks, (QVector<bool>{false, true}));
        QCOMPARE(run.exitStatus, 0);
    }
};

QTEST_MAIN(TestStartupWine)
#include "tst_startup_wine.moc"
