// SPDX-License-Identifier: GPL-3.0-or-later
// Wine prefixes in a fake home and /proc, the helper under a stand-in for Wine's loader; switching in a real
// prefix (tests/platform/win32/wine-prefix.sh) with the real helper and the Messenger stand-in, time-limited.
#include "platform/wine/WineMessenger.h"
#include "platform/wine/WineRegistry.h"
#include "platform/wine/WineSystemObjects.h"

#include <QDir>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

const QString serverPath = QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger\\Server");
const uint otherUser = 65534; // nobody: the owner of files and processes that are not the user's

enum class Holds { Nothing, MessengerKey, MessengerProgram };

// A prefix in the test's folder and what of Messenger it holds.
struct FakePrefix
{
    QString folder{};
    Holds holds = Holds::Nothing;
    bool ofOtherUser = false;
};

// A process in the fake /proc; paths in the test's folder unless absolute. With a working folder, its
// WINEPREFIX is given relative to that folder.
struct FakeProcess
{
    QString winePrefix{}, home{};
    QString workingFolder = "/";
    bool ofOtherUser = false;
    QString name = "msnmsgr.exe";
    QString loader{}; // WINELOADER, as it is
    QString executable = "/usr/bin/true";
};

// Which prefix is found among these, and why none is.
struct FindCase
{
    QList<FakePrefix> prefixes{};
    QList<FakeProcess> processes{};
    QString winePrefix{}, expected{}, reason{}; // the prefix chosen, or words of the reason none is
};

// The server of the prefix "p" in the fake /proc, run as bin/wineserver64, and the stand-in for Wine's loader.
// Started by the user with Wine's loader, by another user, by the user while the write waits for the lock of
// user.reg (it shows up in /proc then), or on its own: without an absolute WINELOADER, in the prefix folder
// itself as a server starting does, beside bin/wine64.
enum class Started { ByUser, ByOtherUser, DuringWrite, OnItsOwn };

struct FakeServer
{
    Started started = Started::ByUser;
    QString groupWritable{}, givenAway{}; // a file or folder in the test's folder, given to another user
    QString loader = "bin/wine"; // its WINELOADER, in the test's folder
};

enum class Fault { None, AfterWriting, EndsServer, KeepsOld };

// Writes through the helper under the stand-in for Wine's loader.
struct HelperCase
{
    QString error{}; // words of the write's error; none for a write that succeeds
    QStringList runs{}; // the helpers started, in order
    FakeServer server{};
    // The write stores the value and fails, ends the server without an answer, or seems to succeed while the old
    // value stays.
    Fault fault = Fault::None;
    double seconds = 0; // how long each run takes
    QString arch = "win64"; // of the prefix
    QStringList startable{"x64", "x86"}; // the helpers that the stand-in starts
    int writes = 1;
};

QByteArray run(const QString &program, const QStringList &arguments, int timeout = 60000) // its output
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(timeout))
        process.kill();
    process.waitForFinished(5000);
    return process.readAllStandardOutput();
}

// A write's answer, which comes at once or, through Wine's helper, later; without one, not written.
struct WriteOutcome
{
    bool written = false;
    QString error;
    RegistryReading stored;
};

WriteOutcome writeAndWait(Registry &registry, const QString &value)
{
    std::optional<WriteOutcome> outcome;
    registry.write(serverPath, value, [&outcome](bool written, const QString &error, const RegistryReading &stored) {
        outcome = WriteOutcome{written, error, stored};
    });
    return QTest::qWaitFor([&outcome] { return outcome.has_value(); }, 30000) ? *outcome : WriteOutcome{};
}

QString signOutAndWait(Messenger &messenger) // "signed out", or why not
{
    std::optional<QString> reason;
    messenger.signOut([&reason](bool done, const QString &failure) { reason = done ? "signed out" : failure; });
    return QTest::qWaitFor([&reason] { return reason.has_value(); }, 30000) ? *reason : "no answer";
}

} // namespace

Q_DECLARE_METATYPE(FindCase)
Q_DECLARE_METATYPE(HelperCase)

class TestWinePrefix : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home; // Wine's HOME, the helper and the stand-in, and a folder for each fake test
    QString m_prefix;
    QString m_wine; // empty without Wine
    QString m_wineserver;
    int m_nextPid = 100;

    QString path(const QString &relative) const // in the test's own folder; empty for empty
    {
        const QString test = QStringLiteral("%1/%2/").arg(QTest::currentTestFunction(), QTest::currentDataTag());
        if (relative.isEmpty() || QDir::isAbsolutePath(relative))
            return relative;
        return m_home.filePath(test + relative);
    }
    void write(const QString &relative, const QByteArray &content)
    {
        QFile file(path(relative));
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        QVERIFY(file.open(QFile::WriteOnly));
        QCOMPARE(file.write(content), content.size());
    }
    void giveToOtherUser(const QString &relative)
    {
        QCOMPARE(::chown(QFile::encodeName(path(relative)).constData(), otherUser, otherUser), 0);
    }
    void makePrefix(const FakePrefix &prefix)
    {
        // Messenger's key has only a subkey; another key's name begins like it.
        const QByteArray section = prefix.holds == Holds::MessengerKey
            ? "[Software\\\\Microsoft\\\\MSNMessenger\\\\S]\n"
            : "[Software\\\\Microsoft\\\\MSNMessengerX]\n";
        write(prefix.folder + "/user.reg", "WINE REGISTRY Version 2\n" + section);
        if (prefix.holds == Holds::MessengerProgram)
            write(prefix.folder + "/drive_c/Program Files (x86)/MSN Messenger/msnmsgr.exe", "MZ");
        if (prefix.ofOtherUser)
            giveToOtherUser(prefix.folder);
    }
    void makeProcess(const FakeProcess &process)
    {
        const QString folder = QStringLiteral("proc/%1").arg(m_nextPid++);
        QString prefix = path(process.winePrefix);
        if (process.workingFolder != "/")
            prefix = QDir(path(process.workingFolder)).relativeFilePath(prefix);
        // Empty variables are taken as unset.
        const QByteArray environment = "WINELOADER=" + QFile::encodeName(process.loader) + '\0'
            + "WINEPREFIX=" + QFile::encodeName(prefix) + '\0' + "HOME=" + QFile::encodeName(path(process.home)) + '\0';
        write(folder + "/comm", process.name.toUtf8() + '\n');
        write(folder + "/environ", environment);
        QVERIFY(QFile::link(path(process.workingFolder), path(folder + "/cwd")));
        QVERIFY(QFile::link(path(process.executable), path(folder + "/exe")));
        if (process.ofOtherUser)
            giveToOtherUser(folder);
    }
    // Prefix "p" with its server, the stand-in for Wine's loader, and both helpers in helpers/; beside the
    // server a process that is no server, and a server of another prefix. Called as
    // "<loader> <helper> <command> <path> [<hex>]", the stand-in notes the helper's architecture in
    // bin/runs and, as Wine does with a program it cannot start, fails without output for a helper not
    // startable or run in another prefix; else it keeps the value written in bin/stored.
    void serveUnderFakeWine(const FakeServer &server, const QStringList &startable, double seconds = 0,
                            Fault fault = Fault::None)
    {
        write("helpers/nexolan-messenger-x64.exe", "MZ");
        write("helpers/nexolan-messenger-x86.exe", "MZ");
        const QString script = QStringLiteral(
                                   "#!/bin/sh\n"
                                   "here=\"$(dirname \"$0\")\"\n"
                                   "arch=\"$(basename \"$1\" .exe | cut -d- -f3)\"\n"
                                   "echo \"$arch\" >> \"$here/runs\"\n"
                                   "case ' %1 ' in *\" $arch \"*) ;; *) echo 'cannot start' >&2; exit 1;; esac\n"
                                   "[ \"$WINEPREFIX\" = '%4' ] || { echo 'run outside the prefix' >&2; exit 1; }\n"
                                   "sleep %2\n"
                                   "if [ \"$2\" = read ]; then echo \"text $(cat \"$here/stored\")\"; exit 0; fi\n"
                                   "if [ %3 = 2 ]; then rm -r \"$here/../proc\"; exit 1; fi\n"
                                   "if [ %3 = 3 ]; then echo 'text 6f6c64'; exit 0; fi\n"
                                   "printf %s \"$4\" > \"$here/stored\"\n"
                                   "if [ %3 = 1 ]; then echo error; echo 'disk on fire' >&2; exit 1; fi\n"
                                   "echo \"text $4\"\n")
                                   .arg(startable.join(u' '), QString::number(seconds), QString::number(int(fault)),
                                        path("p"));
        const bool onItsOwn = server.started == Started::OnItsOwn;
        const QString standIn = onItsOwn ? "bin/wine64" : "bin/wine";
        write(standIn, script.toUtf8());
        QVERIFY(QFile::setPermissions(path(standIn), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        if (!server.groupWritable.isEmpty())
            QCOMPARE(::chmod(QFile::encodeName(path(server.groupWritable)).constData(), 0775), 0);
        if (!server.givenAway.isEmpty())
            giveToOtherUser(server.givenAway);
        const QString loader = onItsOwn ? "wine" : path(server.loader);
        // A server works in a folder named after its prefix's device and inode.
        struct stat prefix;
        QCOMPARE(::stat(QFile::encodeName(path("p")).constData(), &prefix), 0);
        const QString folder = onItsOwn
            ? path("p")
            : QStringLiteral("/tmp/w/server-%1-%2").arg(prefix.st_dev, 0, 16).arg(prefix.st_ino, 0, 16);
        makeProcess({{}, {}, folder, false, "explorer.exe", {}, "bin/explorer"});
        makeProcess({{}, {}, "/tmp/w/server-1-2", false, "wineserver64", {}, "bin/other"});
        const bool ofOtherUser = server.started == Started::ByOtherUser;
        makeProcess({{}, {}, folder, ofOtherUser, "wineserver64", loader, "bin/wineserver64"});
    }
    WinePrefix fakePrefix() const { return WinePrefix(path("p"), {{}, {}, {}, path("proc")}); } // "p" in the fake /proc
    QString dosPath(const QString &name) const { return "Z:" + m_home.filePath(name).replace(u'/', u'\\'); }
    void stopWine() // WINEPREFIX's
    {
        run(m_wineserver, {"-k"}, 30000);
        run(m_wineserver, {"-w"}, 30000);
    }

private slots:
    void initTestCase()
    {
        qputenv("HOME", m_home.path().toUtf8()); // Wine away from the user's own prefixes
        if (qEnvironmentVariableIsEmpty("NEXOLAN_WINE_TESTS"))
            return; // the cases in a fake /proc only
        // Wine as the Win32 tests find it, their prefix, and the helper and the stand-in in HOME; none without these.
        const char *script = "source \"${0%/*}/wine-env.sh\" && [[ -n $wine64 ]] && cd"
                             " && cp \"$2\" nexolan-messenger-x64.exe && cp \"$3\" msnmsgr.exe"
                             " && echo \"$wine64\" && echo \"$wineserver\" && bash \"$0\" \"$1\"";
        const QStringList arguments({"-c", script, NEXOLAN_WINE_PREFIX_SCRIPT, NEXOLAN_WINE_TEST_PREFIX,
                                     NEXOLAN_HELPER_EXE_X64, NEXOLAN_STANDIN_EXE});
        const QStringList wine = QString::fromUtf8(run("bash", arguments, 300000)).trimmed().split(u'\n');
        if (wine.size() < 2)
            return;
        QVERIFY2(wine.size() == 3 && QFile::exists(wine[2] + "/.complete"), "the Wine prefix could not be made");
        m_wine = wine[0];
        m_wineserver = wine[1];
        m_prefix = wine[2];
        qputenv("WINEPREFIX", m_prefix.toUtf8());
        qputenv("WINELOADER", m_wine.toUtf8()); // as the wine command sets it
        stopWine();
        QFile::copy(m_prefix + "/user.reg", m_prefix + ".user.reg"); // the first, kept
        QFile::remove(m_prefix + "/user.reg");
        QVERIFY(QFile::copy(m_prefix + ".user.reg", m_prefix + "/user.reg"));
    }
    void cleanupTestCase() { stopWine(); } // nothing without Wine

    void init()
    {
        // Rows named for another user give files away, which needs root.
        if (::getuid() != 0 && QByteArray(QTest::currentDataTag()).contains("another user"))
            QSKIP("giving files to another user needs root");
    }

    void find_data()
    {
        QTest::addColumn<FindCase>("row");
        const QString wine = "h/.wine";
        const QString bottle = "h/.local/share/bottles/bottles/b";
        const FakePrefix programInPlayOnLinux{"h/.PlayOnLinux/wineprefix/p", Holds::MessengerProgram};
        const FakePrefix keyInFlathubBottles{"h/.var/app/com.usebottles.bottles/data/bottles/bottles/f",
                                             Holds::MessengerKey};
        const FakePrefix holdingWine{wine, Holds::MessengerKey};
        QTest::newRow("WINEPREFIX that is no prefix")
            << FindCase{{holdingWine}, {}, "none", "", "which is no Wine prefix"};
        QTest::newRow("WINEPREFIX of another user")
            << FindCase{{{"a", Holds::MessengerKey, true}}, {}, "a", "", "is owned by nobody, not by you"};
        // A prefix counts once, here reached by two paths.
        QTest::newRow("running clients' relative WINEPREFIX")
            << FindCase{{holdingWine, {"b"}}, {{"b", {}, "w/x"}, {"b", {}, "w"}}, "", "b", ""};
        // A prefix that holds Messenger is not looked for where a client runs.
        QTest::newRow("running client's HOME")
            << FindCase{{{"o/.wine"}, {bottle, Holds::MessengerKey}}, {{{}, "o"}}, "", "o/.wine", ""};
        QTest::newRow("clients in two") << FindCase{
            {{"a", Holds::MessengerKey}, {"b", Holds::MessengerKey}}, {{"a"}, {"b"}}, "", "", "runs in"};
        QTest::newRow("Flathub's Bottles and PlayOnLinux: two")
            << FindCase{{{wine}, programInPlayOnLinux, keyInFlathubBottles}, {}, "", "", "is in several"};
        QTest::newRow("none holds Messenger: the program's own file")
            << FindCase{{{wine}}, {{wine, {}, "/", false, "explorer.exe"}}, "", "", "No Wine prefix with"};
    }
    void find()
    {
        QFETCH(FindCase, row);
        for (const FakePrefix &prefix : row.prefixes)
            makePrefix(prefix);
        for (const FakeProcess &process : row.processes)
            makeProcess(process);
        const WinePrefixSearch search = findWinePrefix({path("h"), {}, path(row.winePrefix), path("proc")});
        QCOMPARE(search.prefix ? search.prefix->path() : QString(), path(row.expected));
        QVERIFY2(search.reason.contains(row.reason), qPrintable(search.reason));

        // Only where no prefix holds Messenger and WINEPREFIX is unset does the program keep its own file (no
        // Wine registry); where the prefix is wrong or ambiguous, nothing is read or written and the reason is given.
        WineSystemObjects objects(search, m_home.path());
        QString error;
        const std::unique_ptr<Registry> registry = objects.createRegistry(&error);
        QCOMPARE(bool(registry), !row.reason.startsWith("No Wine prefix"));
        if (registry && !search.prefix) {
            const WriteOutcome outcome = writeAndWait(*registry, "h;1.2.3.4:1863");
            QVERIFY(!outcome.written);
            QCOMPARE(outcome.error, search.reason);
            QVERIFY(registry->location().contains(search.reason));
        }
    }

    // Through a running server, the helper runs under a stand-in for Wine's loader, a script: the helper of the
    // prefix's architecture first, the other where that one cannot start, and the one that ran from then on;
    // the event loop goes on while it runs; after a run that fails the value is read again. A server that starts
    // while user.reg is written may have loaded the old file, and would save it over the new one as it ends:
    // the value goes through that server too. The server of a prefix works in a folder named after the
    // prefix's device and inode. Only the user's own server counts, and its loader is run only when no one else
    // can change it or the folders above it.
    void throughServer_data()
    {
        QTest::addColumn<HelperCase>("row");
        QTest::newRow("fails after writing") << HelperCase{"disk on fire", {"x64", "x64"}, {}, Fault::AfterWriting};
        QTest::newRow("past the time limit")
            << HelperCase{"did not finish within 0.8 s", {"x64", "x64"}, {}, Fault::None, 1.0};
        QTest::newRow("server ends during the run")
            << HelperCase{"ended while the helper program", {"x64"}, {}, Fault::EndsServer};
        QTest::newRow("the old value stays") << HelperCase{"did not keep the new value", {"x64"}, {}, Fault::KeepsOld};
        QTest::newRow("slow 32-bit prefix whose 32-bit helper cannot start, twice")
            << HelperCase{"", {"x86", "x64", "x64"}, {}, Fault::None, 0.2, "win32", {"x64"}, 2};
        QTest::newRow("server that starts while user.reg is written")
            << HelperCase{"", {"x64"}, {Started::DuringWrite}};
        QTest::newRow("server started on its own: the wine beside it") << HelperCase{"", {"x64"}, {Started::OnItsOwn}};
        QTest::newRow("group-writable folder") << HelperCase{"bin is writable by others", {}, {Started::ByUser, "bin"}};
        QTest::newRow("loader of another user")
            << HelperCase{"wine belongs to nobody", {}, {Started::ByUser, {}, "bin/wine"}};
        QTest::newRow("loader that is a folder")
            << HelperCase{"bin is not a regular file", {}, {Started::ByUser, {}, {}, "bin/"}};
        // The file is written, not through the other user's server.
        QTest::newRow("server of another user") << HelperCase{"", {}, {Started::ByOtherUser}};
    }
    void throughServer()
    {
        QFETCH(HelperCase, row);
        write("p/user.reg", "WINE REGISTRY Version 2\n\n#arch=" + row.arch.toLatin1() + "\n");
        serveUnderFakeWine(row.server, row.startable, row.seconds, row.fault);
        QLockFile lock(path("p/user.reg.lock"));
        std::thread serverStarts;
        if (row.server.started == Started::DuringWrite) {
            QVERIFY(QDir().rename(path("proc"), path("proc-later")));
            QVERIFY(lock.lock());
            serverStarts = std::thread([&lock, from = path("proc-later"), to = path("proc")] {
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                QDir().rename(from, to);
                lock.unlock();
            });
        }
        WineRegistry registry(fakePrefix(), path("helpers"), 800); // a time limit only the 1 s runs pass
        int ticks = 0;
        QTimer timer;
        connect(&timer, &QTimer::timeout, this, [&ticks] { ++ticks; });
        timer.start(10);
        WriteOutcome outcome;
        for (int write = 0; write < row.writes; ++write)
            outcome = writeAndWait(registry, "10.0.0.1:1863");
        if (serverStarts.joinable())
            serverStarts.join();
        QCOMPARE(outcome.written, row.error.isEmpty());
        QVERIFY2(outcome.error.contains(row.error), qPrintable(outcome.error));
        // Stored where the write succeeded, or failed only after the value was written.
        const bool stored = row.error.isEmpty() || row.fault == Fault::AfterWriting;
        QCOMPARE(outcome.stored.ok && outcome.stored.value.text == "10.0.0.1:1863", stored);
        QFile runs(path("bin/runs")); // by the stand-in for Wine's loader
        runs.open(QIODevice::ReadOnly); // none when no helper ran
        QCOMPARE(QString::fromUtf8(runs.readAll()).split(u'\n', Qt::SkipEmptyParts), row.runs);
        // A 10 ms timer kept firing while the helper ran (a blocked loop would have left it at one tick).
        QCOMPARE_GE(ticks, int(row.seconds * 20));
    }

    // A client in another prefix is not the one to sign out.
    void signOut()
    {
        makePrefix({"p", Holds::MessengerKey});
        serveUnderFakeWine({}, {"x64"});
        WineMessenger messenger(fakePrefix(), path("helpers"));
        makeProcess({"q"});
        QVERIFY(signOutAndWait(messenger).startsWith("Messenger is not running"));
    }

    // As Nexolan does, in a real prefix: sign out a running client, write the server; Wine reads it.
    void switchInWine()
    {
        if (m_prefix.isEmpty())
            QSKIP("No 64-bit Wine, or the Windows helper or the Messenger stand-in was not built");
        const WinePrefix prefix(m_prefix, {m_home.path(), {}, {}, "/proc"});
        WineSystemObjects objects({prefix, {}}, m_home.path());
        QString error;
        QVERIFY2(!objects.createMessenger(&error) && error.contains("not registered"), qPrintable(error));
        const QByteArray unreached = run(m_wine, {dosPath("nexolan-messenger-x64.exe"), "signout"});
        QVERIFY2(QByteArray::fromHex(unreached.mid(6)).startsWith("Messenger: reaching the running client failed"),
                 unreached.constData());
        run(m_wine, {dosPath("msnmsgr.exe"), "/register"}); // the stand-in as Messenger's class
        stopWine();
        const std::unique_ptr<Messenger> messenger = objects.createMessenger(&error);
        QVERIFY2(messenger, qPrintable(error));
        const std::unique_ptr<Registry> registry = objects.createRegistry(&error);

        // Without a server, into user.reg, with other kinds of values beside it; Wine's server reads them all,
        // found with its loader beside it, through one run of the helper.
        const QString inFile = "a\"b\\c;S\u00fcd \u0421\u0435\u0440 \U0001F600a";
        const WriteOutcome fileWrite = writeAndWait(*registry, inFile);
        QVERIFY2(fileWrite.written, qPrintable(fileWrite.error));
        QFile userRegistry(m_prefix + "/user.reg");
        QVERIFY(userRegistry.open(QIODevice::Append));
        userRegistry.write("\n[Software\\\\NexolanTest\\\\Raw] 0\n\"Port\"=dword:00000747\n\"Binary\"=hex:01,02,03\n"
                           "\"Unterminated\"=hex(1):61,00,62,00,63,00\n");
        userRegistry.close();
        run("env", {"-u", "WINELOADER", m_wineserver, "-p30"});
        QCOMPARE(signOutAndWait(*messenger), "Messenger is not running in the Wine prefix " + m_prefix + ".");
        const QString raw = "HKEY_CURRENT_USER\\Software\\NexolanTest\\Raw\\";
        const QMap<QString, QString> shown{// the value as text, or words of the reason it could not be read
                                           {serverPath, inFile},
                                           {raw + "Port", "1863"},
                                           {raw + "Unterminated", "abc"},
                                           {raw + "Binary", "neither text nor a number"},
                                           {raw + "Missing", "value " + raw + "Missing does not exist"},
                                           {raw + "Missing\\Server", "key " + raw + "Missing does not exist"},
                                           {"HKEY_NOWHERE\\Software\\Server", "does not start with"}};
        QList<RegistryReading> readings;
        registry->read(shown.keys(), [&readings](const QList<RegistryReading> &answer) { readings = answer; });
        QTRY_VERIFY_WITH_TIMEOUT(!readings.isEmpty(), 30000);
        for (qsizetype index = 0; index < shown.size(); ++index) {
            const RegistryReading reading = readings.value(index);
            const QString text = reading.ok ? reading.value.toText() : reading.error;
            QVERIFY2(text.contains(shown.values().at(index)), qPrintable(text));
        }
        QProcess helper; // a read that cannot read one of its values fails, as any other failure of the helper
        helper.start(m_wine, {dosPath("nexolan-messenger-x64.exe"), "read", serverPath, raw + "Missing"});
        QVERIFY(helper.waitForFinished(30000) && helper.exitCode() == 1);

        // A client that refuses the first sign-out; the second signs it out.
        QProcess client;
        client.start(m_wine,
                     {dosPath("msnmsgr.exe"), "--refuse", "--record", dosPath("record"), "--ready", dosPath("ready")});
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_home.filePath("ready")), 30000);
        const QString refused = signOutAndWait(*messenger);
        QVERIFY2(refused.endsWith("calling Signout failed: Exception occurred (0x80020009): Not signed in"),
                 qPrintable(refused));
        QCOMPARE(signOutAndWait(*messenger), "signed out");
        QCOMPARE(QFileInfo(m_home.filePath("record")).size(), 8); // "Signout\n"

        // Through the helper: a value beyond the helper's first buffer; as Messenger
        // reads it, a plain string (REG_SZ) in user.reg once the server has saved it.
        const QString longValue = "\u00e9a\u0421 \u4e2d\U0001F600;10.0.0.1:1863" + QString(300, u'x');
        const WriteOutcome helperWrite = writeAndWait(*registry, longValue);
        QVERIFY2(helperWrite.written, qPrintable(helperWrite.error));
        QCOMPARE(helperWrite.stored.value.text, longValue);
        stopWine();
        QVERIFY(userRegistry.open(QIODevice::ReadOnly));
        QVERIFY(userRegistry.readAll().contains("\n\"Server\"=\"\\x00e9a\\x421 "));
    }
};

QTEST_GUILESS_MAIN(TestWinePrefix)
#include "tst_wineprefix.moc"
