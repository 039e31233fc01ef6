// Wine prefixes in a fake home and /proc; switching in a real one (tests/platform/win32/wine-prefix.sh), time-limited.
#include "platform/wine/WineSystemObjects.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

static const QString serverPath = QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger\\Server");
static QByteArray run(const QString &program, const QStringList &arguments, int timeout = 60000) // its output
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(timeout))
        process.kill();
    process.waitForFinished(5000);
    return process.readAllStandardOutput();
}

class TestWinePrefix : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home; // Wine's HOME, the helper and the stand-in, and a folder for each fake test
    QString m_prefix, m_wine, m_wineserver; // empty without Wine

    QString path(const QString &relative) const // in the test's own folder; empty for empty
    {
        const QString test = QStringLiteral("%1/%2/").arg(QTest::currentTestFunction(), QTest::currentDataTag());
        return relative.isEmpty() ? QString() : m_home.filePath(test + relative);
    }
    void write(const QString &relative, const QByteArray &content)
    {
        QFile file(path(relative));
        QVERIFY(QDir().mkpath(QFileInfo(file).path()) && file.open(QFile::WriteOnly));
        QCOMPARE(file.write(content), content.size());
    }
    // "<folder>:k" has a subkey of Messenger's key, ":p" its program, ":-" a longer key name; ":@<folder>" links.
    void makePrefix(const QString &folder, const QString &what)
    {
        if (what.startsWith(u'@'))
            QVERIFY(QDir().mkpath(QFileInfo(path(folder)).path()) && QFile::link(path(what.mid(1)), path(folder)));
        else
            write(folder + "/user.reg", "WINE REGISTRY Version 2\n[Software\\\\Microsoft\\\\MSNMessenger"
                                            + QByteArray(what == "k" ? "\\\\S]\n" : "X]\n"));
        if (what == "p")
            write(folder + "/drive_c/Program Files (x86)/MSN Messenger/msnmsgr.exe", "MZ");
    }
    void makeProcess(const QString &description, const QString &cwd = "/") // "<program>|<VARIABLE>=<folder>|..."
    {
        static int pid = 100;
        const QString dir = QStringLiteral("proc/%1").arg(pid++);
        const QStringList fields = description.split(u'|');
        QByteArray variables;
        for (const QString &variable : fields.mid(1))
            variables += variable.section(u'=', 0, 0).toUtf8() + '=' + path(variable.section(u'=', 1)).toUtf8() + '\0';
        write(dir + "/comm", fields[0].toUtf8() + '\n');
        write(dir + "/environ", variables);
        QVERIFY(QFile::link(cwd, path(dir + "/cwd")));
    }
    WinePrefix prefix() const { return WinePrefix(m_prefix, {m_home.path(), {}, {}, "/proc"}); }
    QString dosPath(const QString &name) const { return "Z:" + m_home.filePath(name).replace(u'/', u'\\'); }
    void stopWine() { run(m_wineserver, {"-k"}, 30000), run(m_wineserver, {"-w"}, 30000); } // WINEPREFIX's

private slots:
    void initTestCase()
    {
        qputenv("HOME", m_home.path().toUtf8()); // Wine away from the user's own prefixes
        // Wine as the Win32 tests find it, their prefix, and the helper and the stand-in in HOME; none without these.
        const char *script = "source \"${0%/*}/wine-env.sh\" && [[ -n $wine64 ]] && cd"
                             " && cp \"$2\" nexolan-messenger-x64.exe && cp \"$3\" msnmsgr.exe"
                             " && echo \"$wine64\" && echo \"$wineserver\" && bash \"$0\" \"$1\"";
        const QStringList wine = QString::fromUtf8(run("bash", {"-c", script, NEXOLAN_WINE_PREFIX_SCRIPT,
            NEXOLAN_WINE_TEST_PREFIX, NEXOLAN_HELPER_EXE_X64, NEXOLAN_STANDIN_EXE}, 300000)).trimmed().split(u'\n');
        if (wine.size() < 2)
            return;
        QVERIFY2(wine.size() == 3 && QFile::exists(wine[2] + "/.complete"), "the Wine prefix could not be made");
        m_wine = wine[0], m_wineserver = wine[1], m_prefix = wine[2];
        qputenv("WINEPREFIX", m_prefix.toUtf8());
        qputenv("WINELOADER", m_wine.toUtf8()); // as the wine command sets it
        QFile::copy(m_prefix + "/user.reg", m_prefix + ".user.reg"); // the first, kept
        cleanup();
    }
    void cleanup()
    {
        if (m_prefix.isEmpty())
            return;
        stopWine();
        for (const QString &file : {m_home.filePath("record"), m_home.filePath("ready"), m_prefix + "/user.reg"})
            QFile::remove(file);
        QVERIFY(QFile::copy(m_prefix + ".user.reg", m_prefix + "/user.reg"));
    }

    void find_data()
    {
        for (const char *column : {"setup", "expected", "winePrefix"}) // expected: the prefix, or "!<reason's words>"
            QTest::addColumn<QString>(column); // setup: prefixes "<folder>:<what>" and processes, by spaces
        const auto row = [](const char *name, const QString &setup, const QString &expected,
                            const QString &winePrefix = {}) { QTest::newRow(name) << setup << expected << winePrefix; };
        const QString wine = "h/.wine", bottle = "h/.local/share/bottles/bottles/b", pol = "h/.PlayOnLinux/wineprefix/";
        const QString flatpak = "h/.var/app/com.usebottles.bottles/data/bottles/bottles/f";
        row("WINEPREFIX before a running client", "a:- b:k msnmsgr.exe|WINEPREFIX=b", "a", "a");
        row("WINEPREFIX that is no prefix", wine + ":k", "!which is no Wine prefix", "none");
        row("running client before one holding it", wine + ":k b:- msnmsgr.exe|WINEPREFIX=b", "b");
        row("running client's HOME", "o/.wine:- " + bottle + ":k msnmsgr.exe|HOME=o", "o/.wine");
        row("clients in two", "a:k b:k msnmsgr.exe|WINEPREFIX=a msnmsgr.exe|WINEPREFIX=b", "!runs in");
        row("Flathub's Bottles and PlayOnLinux: two", wine + ":- " + pol + "p:p " + flatpak + ":k", "!is in several");
        row("one prefix by two paths", wine + ":k " + pol + "w:@" + wine, wine);
        row("none holds Messenger", wine + ":- explorer.exe|WINEPREFIX=h/.wine", "!No Wine prefix with");
    }
    void find()
    {
        QFETCH(QString, setup);
        QFETCH(QString, expected);
        QFETCH(QString, winePrefix);
        for (const QString &item : setup.split(u' '))
            item.contains(u':') ? makePrefix(item.section(u':', 0, 0), item.section(u':', 1)) : makeProcess(item);
        const WinePrefixSearch search = findWinePrefix({path("h"), {}, path(winePrefix), path("proc")});
        const QString got = search.prefix ? search.prefix->path() : search.reason;
        QVERIFY2(expected.startsWith(u'!') ? !search.prefix && got.contains(expected.mid(1)) : got == path(expected),
                 qPrintable(got));
    }

    void server() // in a folder named after the prefix's device and inode; others come first
    {
        makePrefix("p", "k");
        struct stat info;
        QCOMPARE(::stat(QFile::encodeName(path("p")).constData(), &info), 0);
        const QString cwd = QStringLiteral("/tmp/w/server-%1-%2").arg(info.st_dev, 0, 16).arg(info.st_ino, 0, 16);
        makeProcess("explorer.exe|WINELOADER=bin/explorer", cwd);
        makeProcess("wineserver64|WINELOADER=bin/other", "/tmp/w/server-1-2");
        makeProcess("wineserver64|WINELOADER=bin/wine", cwd);
        const std::optional<WineServer> server = WinePrefix(path("p"), {{}, {}, {}, path("proc")}).server();
        QCOMPARE(server ? server->loader : QString(), path("bin/wine"));
    }

    void switchInWine_data()
    {
        QTest::addColumn<QString>("running"); // in the prefix: nothing, the client, or a server alone
        QTest::addColumn<QString>("value");
        QTest::newRow("no server") << "" << "a\"b\\c;S\u00fcd \u0421\u0435\u0440 \U0001F600a";
        QTest::newRow("client runs") << "client" << "\u00e9a\u0421 \u4e2d\U0001F600;10.0.0.1:1863";
        QTest::newRow("server alone") << "server" << "10.0.0.1:1863";
    }
    void switchInWine() // as Nexolan does: sign out a running client, write the server; Wine's server reads it
    {
        QFETCH(QString, running);
        QFETCH(QString, value);
        if (m_prefix.isEmpty())
            QSKIP("No 64-bit Wine, or the Windows helper or the Messenger stand-in was not built");
        QString error;
        RegValue read;
        WineSystemObjects objects({prefix(), {}}, m_home.path());
        QVERIFY2(!objects.createMessengerApi(&error) && error.contains("not registered"), qPrintable(error));
        run(m_wine, {dosPath("msnmsgr.exe"), "/register"}); // the stand-in as Messenger's class
        stopWine();
        const std::unique_ptr<IMessenger> messenger = objects.createMessengerApi(&error);
        QVERIFY2(messenger, qPrintable(error));
        QProcess client;
        if (running == "server") // without WINELOADER: its loader is found beside it
            run("env", {"-u", "WINELOADER", m_wineserver, "-p30"});
        if (running == "client") {
            client.start(m_wine, {dosPath("msnmsgr.exe"), "--record", dosPath("record"), "--ready", dosPath("ready")});
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_home.filePath("ready")), 30000);
        }
        const bool signedOut = messenger->Signout(&error);
        QVERIFY2(signedOut == (running == "client") && (signedOut || error.contains("not running")), qPrintable(error));
        QCOMPARE(QFileInfo(m_home.filePath("record")).size(), signedOut ? 8 : 0); // "Signout\n"
        QVERIFY2(objects.createShellObject(&error)->RegWrite(serverPath, value, &error), qPrintable(error));
        stopWine(); // a server saves the registry as it ends
        client.waitForFinished(5000);
        run(m_wineserver, {"-p30"}); // a new one reads user.reg
        QVERIFY2(prefix().server() && objects.createShellObject(&error)->RegRead(serverPath, &read, &error),
                 qPrintable(error));
        QCOMPARE(read.text, value);
    }
};

QTEST_GUILESS_MAIN(TestWinePrefix)
#include "tst_wineprefix.moc"
