// The registry and the sign-out against a real Wine prefix of this build
// folder, with the Windows helper and the Messenger stand-in installed in it
// as msnmsgr.exe. Home and XDG folders point into a temporary folder, and
// every Wine call names this prefix and has a time limit. The prefix's
// wineserver is ended before and after each test (one started on its own
// also ends 30 s after its last client, should the test die), and user.reg
// comes back as the prefix was made.

#include "core/WineRegistryFile.h"
#include "platform/wine/WineRegistryShell.h"
#include "platform/wine/WineSystemObjects.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString serverPath = QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger\\Server");
const QString clientPath = QStringLiteral("C:\\Program Files\\MSN Messenger\\msnmsgr.exe");
constexpr int wineTimeout = 60000;

QString windowsPath(const QString &path)
{
    return QStringLiteral("Z:") + QString(path).replace(u'/', u'\\');
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestWineRegistry : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();
    void switchWithoutServer_data();
    void switchWithoutServer();
    void switchWithServer_data();
    void switchWithServer();
    void signout_data();
    void signout();
    void unknownFile_data();
    void unknownFile();

private:
    struct Run
    {
        bool finished = false;
        int exitCode = -1;
        QByteArray output;
    };
    Run run(const QString &program, const QStringList &arguments, int timeout = wineTimeout) const;
    void stopWine();
    void restoreRegistry();
    void startClient(const QStringList &options);
    WinePrefix prefix() const;
    QString file(const char *name) const { return m_home.filePath(QString::fromLatin1(name)); }

    QTemporaryDir m_home;
    QTemporaryDir m_helpers;
    QString m_prefix;
    QString m_wine;
    QString m_wineserver;
    std::unique_ptr<QProcess> m_client;
};

TestWineRegistry::Run TestWineRegistry::run(const QString &program, const QStringList &arguments, int timeout) const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("WINEPREFIX"), m_prefix);
    environment.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
    environment.insert(QStringLiteral("WINEDLLOVERRIDES"), QStringLiteral("mscoree,mshtml,winemenubuilder.exe=d"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, arguments);
    Run result;
    result.finished = process.waitForFinished(timeout);
    if (!result.finished) {
        process.kill();
        process.waitForFinished(5000);
    }
    result.exitCode = process.exitCode();
    result.output = process.readAllStandardOutput();
    return result;
}

WinePrefix TestWineRegistry::prefix() const
{
    WineEnvironment environment;
    environment.home = m_home.path();
    return WinePrefix(m_prefix, environment);
}

void TestWineRegistry::stopWine()
{
    if (m_prefix.isEmpty())
        return;
    run(m_wineserver, {QStringLiteral("-k")}, 30000);
    run(m_wineserver, {QStringLiteral("-w")}, 30000);
    QVERIFY(!prefix().server());
}

void TestWineRegistry::startClient(const QStringList &options)
{
    m_client = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("WINEPREFIX"), m_prefix);
    environment.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
    environment.insert(QStringLiteral("WINELOADER"), m_wine); // as the wine command sets it
    m_client->setProcessEnvironment(environment);
    m_client->setStandardInputFile(QProcess::nullDevice());
    m_client->start(m_wine,
                    QStringList{clientPath, QStringLiteral("--record"), windowsPath(file("record")),
                                QStringLiteral("--ready"), windowsPath(file("ready")), QStringLiteral("--stop"),
                                windowsPath(file("stop")), QStringLiteral("--seconds"), QStringLiteral("60")}
                        + options);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(file("ready")), 30000);
}

void TestWineRegistry::initTestCase()
{
    // Wine as the Win32 tests find it: the 64-bit loader and its wineserver.
    const QString script = QFileInfo(QStringLiteral(NEXOLAN_WINE_PREFIX_SCRIPT)).dir().filePath("wine-env.sh");
    const QString print = QStringLiteral("source \"$0\" && echo \"$wine64\" && echo \"$wineserver\"");
    const Run found = run(QStringLiteral("bash"), {QStringLiteral("-c"), print, script});
    const QStringList wine = QString::fromUtf8(found.output).split(u'\n', Qt::SkipEmptyParts);
    if (wine.size() != 2)
        QSKIP("No 64-bit Wine on this machine");
    m_wine = wine[0];
    m_wineserver = wine[1];
    if (!QFile::exists(QStringLiteral(NEXOLAN_HELPER_EXE_X64)) || !QFile::exists(QStringLiteral(NEXOLAN_STANDIN_EXE)))
        QSKIP("The Windows helper or the Messenger stand-in was not built");
    QVERIFY(m_home.isValid() && m_helpers.isValid());
    // Nothing Wine starts here may find or touch the user's own prefixes.
    for (const char *variable : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"})
        qputenv(variable, m_home.filePath(QString::fromLatin1(variable)).toUtf8());
    qunsetenv("WINEPREFIX");
    qunsetenv("WINEARCH");

    QVERIFY(QFile::copy(QStringLiteral(NEXOLAN_HELPER_EXE_X64), m_helpers.filePath("nexolan-messenger-x64.exe")));
    if (QFile::exists(QStringLiteral(NEXOLAN_HELPER_EXE_X86)))
        QVERIFY(QFile::copy(QStringLiteral(NEXOLAN_HELPER_EXE_X86), m_helpers.filePath("nexolan-messenger-x86.exe")));

    const Run made
        = run(QStringLiteral("bash"),
              {QStringLiteral(NEXOLAN_WINE_PREFIX_SCRIPT), QStringLiteral(NEXOLAN_WINE_TEST_PREFIX)}, 300000);
    QVERIFY2(made.finished && made.exitCode == 0, "the Wine prefix could not be made");
    m_prefix = QString::fromUtf8(made.output).trimmed();
    stopWine();
    // The user.reg every test starts from: the prefix's first one.
    const QString pristine = m_prefix + QStringLiteral(".user.reg");
    if (!QFile::exists(pristine))
        QVERIFY(QFile::copy(m_prefix + QStringLiteral("/user.reg"), pristine));
    const QString client = m_prefix + QStringLiteral("/drive_c/Program Files/MSN Messenger/msnmsgr.exe");
    QDir().mkpath(QFileInfo(client).absolutePath());
    QFile::remove(client);
    QVERIFY(QFile::copy(QStringLiteral(NEXOLAN_STANDIN_EXE), client));
}

void TestWineRegistry::restoreRegistry()
{
    QFile::remove(m_prefix + QStringLiteral("/user.reg"));
    QVERIFY(QFile::copy(m_prefix + QStringLiteral(".user.reg"), m_prefix + QStringLiteral("/user.reg")));
}

void TestWineRegistry::init()
{
    stopWine();
    for (const char *name : {"record", "ready", "stop"})
        QFile::remove(file(name));
    restoreRegistry();
}

void TestWineRegistry::cleanup()
{
    if (m_client) {
        QFile stop(file("stop"));
        stop.open(QIODevice::WriteOnly);
        if (!m_client->waitForFinished(20000))
            m_client->kill();
        m_client->waitForFinished(5000);
        m_client.reset();
    }
    stopWine();
}

void TestWineRegistry::cleanupTestCase()
{
    stopWine();
    // The prefix is left as one that Wine loads.
    if (!m_prefix.isEmpty())
        restoreRegistry();
}

void TestWineRegistry::switchWithoutServer_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("ascii"); // Wine's reg prints other characters in its console code page
    QTest::newRow("host and port") << QStringLiteral("messenger.hotmail.com:1863") << true;
    QTest::newRow("quote, backslash") << QStringLiteral("a\"b\\c;10.0.0.1") << true;
    const QString nonAscii = QStringLiteral("S\u00fcd-\u0421\u0435\u0440\u0432\u0435\u0440 \u4e2d\u6587 \U0001F600a");
    QTest::newRow("non-ASCII") << nonAscii << false;
}

void TestWineRegistry::switchWithoutServer()
{
    QFETCH(QString, value);
    QFETCH(bool, ascii);
    WineRegistryShell shell(prefix(), WineHelper(m_helpers.path()));
    QString error;
    QElapsedTimer timer;
    timer.start();
    QVERIFY2(shell.RegWrite(serverPath, value, &error), qPrintable(error));
    qInfo("switch without a wineserver: %.2f ms", timer.nsecsElapsed() / 1e6);
    QVERIFY(!prefix().server()); // no Wine was started for it
    RegValue read;
    QVERIFY2(shell.RegRead(serverPath, &read, &error), qPrintable(error));
    QCOMPARE(read.text, value);

    // Wine's own view: its reg command, and its registry API through a server.
    if (ascii) {
        const Run query = run(m_wine,
                              {QStringLiteral("reg"), QStringLiteral("query"),
                               QStringLiteral("HKCU\\Software\\Microsoft\\MSNMessenger"), QStringLiteral("/v"),
                               QStringLiteral("Server")});
        QVERIFY2(query.output.contains("REG_SZ    " + value.toUtf8() + "\r\n"), query.output.constData());
    }
    QVERIFY(run(m_wineserver, {QStringLiteral("-p30")}).finished);
    QVERIFY(prefix().server());
    QVERIFY2(shell.RegRead(serverPath, &read, &error), qPrintable(error));
    QCOMPARE(read.text, value);
}

void TestWineRegistry::switchWithServer_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("client"); // the server runs for the client, else on its own (no WINELOADER)
    QTest::newRow("while the client runs") << QStringLiteral("messenger.hotmail.com:1863") << true;
    QTest::newRow("non-ASCII while the client runs") << QStringLiteral("\u00e9a\u0421 \U0001F600") << true;
    QTest::newRow("server alone") << QStringLiteral("10.0.0.1:1863") << false;
}

void TestWineRegistry::switchWithServer()
{
    QFETCH(QString, value);
    QFETCH(bool, client);
    if (client)
        startClient({});
    else
        QVERIFY(run(m_wineserver, {QStringLiteral("-p30")}).finished);
    QVERIFY(prefix().server());
    WineRegistryShell shell(prefix(), WineHelper(m_helpers.path()));
    QString error;
    QElapsedTimer timer;
    timer.start();
    QVERIFY2(shell.RegWrite(serverPath, QStringLiteral("first"), &error), qPrintable(error));
    const double first = timer.nsecsElapsed() / 1e6;
    timer.restart();
    QVERIFY2(shell.RegWrite(serverPath, value, &error), qPrintable(error));
    qInfo("switch through the wineserver: %.0f ms the first time (helper chosen), %.0f ms after", first,
          timer.nsecsElapsed() / 1e6);
    RegValue read;
    QVERIFY2(shell.RegRead(serverPath, &read, &error), qPrintable(error));
    QCOMPARE(read.text, value);

    // The server saves its registry when it ends: the value is in the file.
    cleanup();
    RegValue saved;
    QVERIFY2(WineRegistryFile(readAll(m_prefix + QStringLiteral("/user.reg")))
                 .read(QStringLiteral("Software\\Microsoft\\MSNMessenger"), QStringLiteral("Server"), &saved, &error),
             qPrintable(error));
    QCOMPARE(saved.text, value);
}

void TestWineRegistry::signout_data()
{
    QTest::addColumn<QString>("client"); // "", or the stand-in's options
    QTest::addColumn<QString>("errorWords"); // empty: signed out
    QTest::newRow("client runs") << QStringLiteral("--") << QString();
    QTest::newRow("client refuses") << QStringLiteral("--refuse") << QStringLiteral("Not signed in");
    QTest::newRow("no client") << QString() << QStringLiteral("not running");
}

void TestWineRegistry::signout()
{
    QFETCH(QString, client);
    QFETCH(QString, errorWords);
    WinePrefixSearch search;
    search.prefix = prefix();
    QString error;
    QVERIFY(!WineSystemObjects(search, m_helpers.path()).createMessengerApi(&error));
    QVERIFY2(error.contains(QLatin1String("not registered")), qPrintable(error));

    // Registering the stand-in as Messenger's class makes the object.
    QCOMPARE(run(m_wine, {clientPath, QStringLiteral("/register")}).exitCode, 0);
    stopWine();
    const std::unique_ptr<IMessenger> messenger
        = WineSystemObjects(search, m_helpers.path()).createMessengerApi(&error);
    QVERIFY2(messenger, qPrintable(error));

    if (!client.isEmpty())
        startClient(client == QLatin1String("--") ? QStringList() : QStringList{client});
    QElapsedTimer timer;
    timer.start();
    const bool signedOut = messenger->Signout(&error);
    qInfo("sign-out: %.0f ms", timer.nsecsElapsed() / 1e6);
    QVERIFY2(signedOut == errorWords.isEmpty(), qPrintable(error));
    QVERIFY2(error.contains(errorWords), qPrintable(error));
    QCOMPARE(readAll(file("record")), QByteArray(signedOut ? "Signout\n" : ""));
    if (client.isEmpty())
        QVERIFY(!prefix().server()); // nothing was started to find no client
}

void TestWineRegistry::unknownFile_data()
{
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::newRow("other header") << QByteArray("WINE REGISTRY Version 2") << QByteArray("WINE REGISTRY Version 3");
    QTest::newRow("unknown architecture") << QByteArray("#arch=win64") << QByteArray("#arch=arm99");
}

// Wine would ignore such a file and save over it later: it stays as it is.
void TestWineRegistry::unknownFile()
{
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    const QString path = m_prefix + QStringLiteral("/user.reg");
    const QByteArray content = readAll(path).replace(from, to);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size());
    file.close();

    WineRegistryShell shell(prefix(), WineHelper(m_helpers.path()));
    QString error;
    QVERIFY(!shell.RegWrite(serverPath, QStringLiteral("messenger.hotmail.com"), &error));
    QVERIFY2(error.contains(QLatin1String("left as it is")), qPrintable(error));
    QCOMPARE(readAll(path), content);
    QVERIFY(!prefix().server());
}

QTEST_GUILESS_MAIN(TestWineRegistry)
#include "tst_wineregistry.moc"
