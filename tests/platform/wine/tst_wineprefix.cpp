// Finding the Wine prefix and what runs in it, on a fake home and a fake
// /proc in a temporary folder. No Wine is run.

#include "platform/wine/WinePrefix.h"
#include "platform/wine/WineSystemObjects.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

const QByteArray registryHead
    = "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n";

void writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

} // namespace

class TestWinePrefix : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void find_data();
    void find();
    void server_data();
    void server();
    void messengerRunning_data();
    void messengerRunning();
    void systemObjects_data();
    void systemObjects();

private:
    QString path(const QString &relative) const { return m_root->path() + QLatin1Char('/') + relative; }
    // "<folder>:<what>", what is k (Messenger's key in user.reg), p (its
    // program under Program Files), c (its class in system.reg), - (nothing),
    // or @<folder> for a link to another prefix.
    void makePrefix(const QString &description);
    // "<name>|VAR=value|..." with paths relative to the root; pid from 100 on.
    void makeProcess(const QString &description, const QString &cwd = QString());
    WineEnvironment environment() const;

    std::unique_ptr<QTemporaryDir> m_root;
    int m_nextPid = 100;
};

void TestWinePrefix::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    QDir().mkpath(path(QStringLiteral("home")));
    QDir().mkpath(path(QStringLiteral("proc/self")));
    m_nextPid = 100;
}

void TestWinePrefix::makePrefix(const QString &description)
{
    const QString folder = path(description.section(u':', 0, 0));
    const QString what = description.section(u':', 1);
    if (what.startsWith(u'@')) {
        QDir().mkpath(QFileInfo(folder).absolutePath());
        QVERIFY(QFile::link(path(what.mid(1)), folder));
        return;
    }
    QByteArray user = registryHead + "\n[Software\\\\Wine] 1\n\"Version\"=\"8.0\"\n";
    if (what.contains(u'k'))
        user += "\n[Software\\\\Microsoft\\\\MSNMessenger] 1\n\"Server\"=\"messenger.hotmail.com\"\n";
    writeFile(folder + QStringLiteral("/user.reg"), user);
    writeFile(folder + QStringLiteral("/system.reg"),
              registryHead
                  + (what.contains(u'c') ? "\n[Software\\\\Classes\\\\Wow6432Node\\\\CLSID\\\\"
                                           "{B69003B3-C55E-4B48-836C-BC5946FC3B28}\\\\LocalServer32] 1\n@=\"x\"\n"
                                         : ""));
    if (what.contains(u'p'))
        writeFile(folder + QStringLiteral("/drive_c/Program Files (x86)/MSN Messenger/msnmsgr.exe"), "MZ");
}

void TestWinePrefix::makeProcess(const QString &description, const QString &cwd)
{
    const QString dir = path(QStringLiteral("proc/%1").arg(m_nextPid++));
    const QStringList fields = description.split(u'|');
    writeFile(dir + QStringLiteral("/comm"), fields.first().toUtf8() + '\n');
    QByteArray variables;
    for (const QString &variable : fields.mid(1))
        variables += variable.section(u'=', 0, 0).toUtf8() + '=' + path(variable.section(u'=', 1)).toUtf8() + '\0';
    writeFile(dir + QStringLiteral("/environ"), variables);
    if (!cwd.isEmpty())
        QVERIFY(QFile::link(cwd, dir + QStringLiteral("/cwd")));
    QVERIFY(QFile::link(QStringLiteral("/usr/lib/wine/") + fields.first(), dir + QStringLiteral("/exe")));
}

WineEnvironment TestWinePrefix::environment() const
{
    WineEnvironment environment;
    environment.home = path(QStringLiteral("home"));
    environment.procRoot = path(QStringLiteral("proc"));
    return environment;
}

void TestWinePrefix::find_data()
{
    QTest::addColumn<QStringList>("prefixes");
    QTest::addColumn<QStringList>("processes");
    QTest::addColumn<QString>("winePrefix"); // relative; empty when unset
    QTest::addColumn<QString>("xdgDataHome");
    QTest::addColumn<QString>("expected"); // the prefix found, or "!<words of the reason>"

    const QString wine = QStringLiteral("home/.wine");
    const QString bottle = QStringLiteral("home/.local/share/bottles/bottles/msn");
    const QString flatpak = QStringLiteral("home/.var/app/com.usebottles.bottles/data/bottles/bottles/m");
    const QString playOnLinux = QStringLiteral("home/.PlayOnLinux/wineprefix/msn");
    const auto row = [](const char *name, const QStringList &prefixes, const QStringList &processes,
                        const QString &expected, const QString &winePrefix = {}, const QString &xdgDataHome = {}) {
        QTest::newRow(name) << prefixes << processes << winePrefix << xdgDataHome << expected;
    };
    row("WINEPREFIX before a running client", {"a:-", "b:k"}, {"msnmsgr.exe|WINEPREFIX=b"}, "a", "a");
    row("WINEPREFIX that is no prefix", {wine + ":k"}, {}, "!which is no Wine prefix", "none");
    row("running client's prefix before the one holding Messenger", {wine + ":k", "b:-"},
        {"wineserver64|WINEPREFIX=home/.wine", "msnmsgr.exe|WINEPREFIX=b"}, "b");
    row("running client without WINEPREFIX: its home's .wine", {"other/.wine:-", bottle + ":k"},
        {"msnmsgr.exe|HOME=other"}, "other/.wine");
    row("clients in two prefixes", {"a:k", "b:k"}, {"msnmsgr.exe|WINEPREFIX=a", "msnmsgr.exe|WINEPREFIX=b"},
        "!runs in several");
    row("~/.wine with the key", {wine + ":k", bottle + ":-"}, {}, wine);
    row("a bottle with the program", {wine + ":-", bottle + ":p"}, {}, bottle);
    row("Bottles from Flathub", {flatpak + ":k"}, {}, flatpak);
    row("PlayOnLinux", {playOnLinux + ":p"}, {}, playOnLinux);
    row("XDG_DATA_HOME moved", {"data/bottles/bottles/x:k", bottle + ":k"}, {}, "data/bottles/bottles/x", {}, "data");
    row("two hold Messenger", {wine + ":k", playOnLinux + ":p"}, {}, "!is in several");
    row("one prefix by two paths", {wine + ":k", playOnLinux + ":@" + wine}, {}, wine);
    row("none holds Messenger", {wine + ":-"}, {"explorer.exe|WINEPREFIX=home/.wine"}, "!No Wine prefix with Messenger");
}

void TestWinePrefix::find()
{
    QFETCH(QStringList, prefixes);
    QFETCH(QStringList, processes);
    QFETCH(QString, winePrefix);
    QFETCH(QString, xdgDataHome);
    QFETCH(QString, expected);
    for (const QString &prefix : prefixes)
        makePrefix(prefix);
    for (const QString &process : processes)
        makeProcess(process);
    WineEnvironment environment = this->environment();
    environment.winePrefix = winePrefix.isEmpty() ? QString() : path(winePrefix);
    environment.xdgDataHome = xdgDataHome.isEmpty() ? QString() : path(xdgDataHome);

    const WinePrefixSearch search = findWinePrefix(environment);
    if (expected.startsWith(u'!')) {
        QVERIFY(!search.prefix);
        QVERIFY2(search.reason.contains(expected.mid(1)), qPrintable(search.reason));
    } else {
        QVERIFY2(search.prefix, qPrintable(search.reason));
        QCOMPARE(search.prefix->path(), path(expected));
    }
}

void TestWinePrefix::server_data()
{
    QTest::addColumn<QString>("process");
    QTest::addColumn<QString>("cwd"); // {id}: this prefix's server-<dev>-<inode>
    QTest::addColumn<QString>("loader"); // expected; empty: no server
    const auto row = [](const char *name, const char *process, const char *cwd, const char *loader) {
        QTest::newRow(name) << QString::fromUtf8(process) << QString::fromUtf8(cwd) << QString::fromUtf8(loader);
    };
    row("wineserver64 in this prefix's folder", "wineserver64|WINELOADER=bin/wine64", "/tmp/wine-AbC/{id}", "bin/wine64");
    row("started alone: the loader beside it", "wineserver64", "/tmp/.wine-0/{id}", "/usr/lib/wine/wine64");
    row("another prefix's server", "wineserver64|WINELOADER=bin/wine64", "/tmp/wine-AbC/server-1-2", "");
    row("not a server", "explorer.exe|WINELOADER=bin/wine64", "/tmp/wine-AbC/{id}", "");
}

void TestWinePrefix::server()
{
    QFETCH(QString, process);
    QFETCH(QString, cwd);
    QFETCH(QString, loader);
    makePrefix(QStringLiteral("p:k"));
    struct stat info;
    QCOMPARE(::stat(QFile::encodeName(path(QStringLiteral("p"))).constData(), &info), 0);
    makeProcess(QStringLiteral("msnmsgr.exe|WINEPREFIX=p"), QStringLiteral("/"));
    const QString id = QStringLiteral("server-%1-%2").arg(qulonglong(info.st_dev), 0, 16).arg(qulonglong(info.st_ino), 0, 16);
    makeProcess(process, QString(cwd).replace(QStringLiteral("{id}"), id));
    const std::optional<WineServer> server = WinePrefix(path(QStringLiteral("p")), environment()).server();
    QCOMPARE(bool(server), !loader.isEmpty());
    if (server) {
        QCOMPARE(server->pid, 101);
        QCOMPARE(server->loader, loader.startsWith(u'/') ? loader : path(loader));
    }
}

void TestWinePrefix::messengerRunning_data()
{
    QTest::addColumn<QString>("process");
    QTest::addColumn<bool>("running");
    QTest::newRow("client in this prefix") << "msnmsgr.exe|WINEPREFIX=p" << true;
    QTest::newRow("client through a link") << "msnmsgr.exe|WINEPREFIX=link" << true;
    QTest::newRow("client in ~/.wine of its home") << "msnmsgr.exe|HOME=home2" << true;
    QTest::newRow("client in another prefix") << "msnmsgr.exe|WINEPREFIX=q" << false;
    QTest::newRow("another program") << "explorer.exe|WINEPREFIX=p" << false;
}

void TestWinePrefix::messengerRunning()
{
    QFETCH(QString, process);
    QFETCH(bool, running);
    makePrefix(QStringLiteral("p:k"));
    makePrefix(QStringLiteral("q:k"));
    makePrefix(QStringLiteral("link:@p"));
    QVERIFY(QDir().mkpath(path(QStringLiteral("home2"))));
    QVERIFY(QFile::link(path(QStringLiteral("p")), path(QStringLiteral("home2/.wine"))));
    makeProcess(process);
    QCOMPARE(WinePrefix(path(QStringLiteral("p")), environment()).isMessengerRunning(), running);
}

void TestWinePrefix::systemObjects_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<bool>("helper");
    QTest::addColumn<QString>("messengerError"); // empty: the object is made
    QTest::newRow("class registered, helper present") << "p:kc" << true << "";
    QTest::newRow("class not registered") << "p:k" << true << "not registered";
    QTest::newRow("helper missing") << "p:kc" << false << "helper program";
    QTest::newRow("no prefix") << "" << true << "No Wine prefix";
}

void TestWinePrefix::systemObjects()
{
    QFETCH(QString, prefix);
    QFETCH(bool, helper);
    QFETCH(QString, messengerError);
    if (!prefix.isEmpty())
        makePrefix(prefix);
    if (helper)
        writeFile(path(QStringLiteral("bin/nexolan-messenger-x86.exe")), "MZ");
    WineEnvironment environment = this->environment();
    environment.winePrefix = prefix.isEmpty() ? QString() : path(QStringLiteral("p"));
    WineSystemObjects objects(findWinePrefix(environment), path(QStringLiteral("bin")));

    QString error;
    const std::unique_ptr<IMessenger> messenger = objects.createMessengerApi(&error);
    QCOMPARE(bool(messenger), messengerError.isEmpty());
    QVERIFY2(error.contains(messengerError), qPrintable(error));
    // The registry is the prefix's wherever there is one; else null and why.
    error.clear();
    const std::unique_ptr<WshShell> shell = objects.createShellObject(&error);
    QCOMPARE(bool(shell), !prefix.isEmpty());
    QCOMPARE(shell ? shell->location() : error.left(14), prefix.isEmpty() ? "No Wine prefix" : path("p"));
}

QTEST_GUILESS_MAIN(TestWinePrefix)
#include "tst_wineprefix.moc"
