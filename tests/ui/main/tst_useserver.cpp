#include "app/LinuxPlatform.h"
#include "app/RegistryFile.h"
#include "servers/ServerList.h"
#include "servers/ServerListModel.h"
#include "support/FakePlatform.h"
#include "ui/main/frmMain.h"

#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

namespace {

ServerEntry entry(const QString &host, const QString &ip, const QString &port, const QString &status = QString())
{
    return {host, ip, port, status};
}

// Holds the main window and the fake objects it talks to.
struct Fixture
{
    explicit Fixture(bool messengerLoaded = true)
    {
        QString error;
        globals.MessengerApi = platform.createMessengerApi(&error);
        globals.MessengerLoaded = messengerLoaded;
        globals.ShellObject = platform.createShellObject(&error);
        window = std::make_unique<frmMain>(platform, globals);
    }

    void click() { window->findChild<QPushButton *>(QStringLiteral("cmdUseServer"))->click(); }
    QTreeView *list() const { return window->findChild<QTreeView *>(QStringLiteral("lvw")); }
    void select(int row) { list()->setCurrentIndex(window->model()->index(row, 0)); }
    QStringList statuses() const { return window->model()->statuses(); }
    QStringList writes() const { return platform.shell ? platform.shell->writes : QStringList(); }
    int signouts() const { return platform.messenger ? platform.messenger->signouts : 0; }

    FakePlatform platform;
    AppGlobals globals;
    std::unique_ptr<frmMain> window;
};

// A shell that records, at the moment of the write, what the list shows and
// how many sign-outs there were.
class ObservingShell : public WshShell
{
public:
    bool RegRead(const QString &, RegValue *, QString *error) override
    {
        *error = QStringLiteral("not kept");
        return false;
    }
    bool RegWrite(const QString &, const QString &value, QString *) override
    {
        observe(value);
        return true;
    }
    std::function<void(const QString &)> observe;
};

QString written(const QString &value)
{
    return MessengerServerValue + QLatin1Char('=') + value;
}

const QString duplicateList = QStringLiteral("myhost;10.0.0.1;1863\r\n"
                                             "other;10.0.0.2;1863\r\n"
                                             "MyHost;10.0.0.1;01863\r\n"
                                             ";10.0.0.3;1863\r\n");
const CurrentServer duplicateServer{QStringLiteral("myhost"), QStringLiteral("10.0.0.1"), QStringLiteral("1863")};

} // namespace

// "Use this server": sign-out, compose, moving the marker, the write, focus.
class TestUseServer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void composesTheSelectedRow_data();
    void composesTheSelectedRow();
    void signsOutThenMovesTheMarkerThenWrites();
    void serverListedTwice_data();
    void serverListedTwice();
    void switchingToTheMarkedRowAgain();
    void withoutMessengerNoSignout_data();
    void withoutMessengerNoSignout();
    void failedSignoutStillSwitches();
    void failedWriteRestoresTheMarks_data();
    void failedWriteRestoresTheMarks();
    void focusAndSelectionAfterSwitch();
    void emptyListDoesNothing();
    void linuxStoreKeepsEverythingElse_data();
    void linuxStoreKeepsEverythingElse();
};

void TestUseServer::composesTheSelectedRow_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("ip");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("value");

    QTest::newRow("host, ip, port") << "myhost" << "10.0.0.1" << "1863" << "myhost;10.0.0.1:1863";
    QTest::newRow("unknown host") << "(Unknown host)" << "10.0.0.1" << "1863" << "10.0.0.1:1863";
    QTest::newRow("unknown host, small letters") << "(unknown host)" << "10.0.0.1" << "1863" << "10.0.0.1:1863";
    QTest::newRow("unknown host, capitals") << "(UNKNOWN HOST)" << "10.0.0.1" << "1863" << "10.0.0.1:1863";
    QTest::newRow("unknown host inside a name") << "myhost(unknown host)" << "10.0.0.1" << "1863"
                                                << "myhost(unknown host);10.0.0.1:1863";
    QTest::newRow("empty port") << "(Unknown host)" << "10.0.0.1" << "" << "10.0.0.1:0";
    QTest::newRow("port without number") << "(Unknown host)" << "10.0.0.1" << "abc" << "10.0.0.1:0";
    QTest::newRow("leading zero") << "myhost" << "10.0.0.1" << "01863" << "myhost;10.0.0.1:1863";
    QTest::newRow("port with blanks and tail") << "myhost" << "10.0.0.1" << " 18 63x" << "myhost;10.0.0.1:1863";
    QTest::newRow("empty ip") << "myhost" << "" << "1863" << "myhost;:1863";
}

void TestUseServer::composesTheSelectedRow()
{
    QFETCH(QString, host);
    QFETCH(QString, ip);
    QFETCH(QString, port);
    QFETCH(QString, value);

    Fixture f;
    f.window->setServerRows({entry(QStringLiteral("first"), QStringLiteral("10.9.9.9"), QStringLiteral("1"), CurrentMarker),
                             entry(host, ip, port)});
    f.select(1);
    f.click();

    QCOMPARE(f.writes(), QStringList{written(value)});
    QCOMPARE(f.platform.shell->values.value(MessengerServerValue.toLower()).kind, RegValue::Kind::Text);
    QCOMPARE(f.statuses(), (QStringList{QString(), CurrentMarker}));
    QCOMPARE(f.signouts(), 1);
    QVERIFY(f.platform.messageBoxes.isEmpty()); // a switch is silent
}

void TestUseServer::signsOutThenMovesTheMarkerThenWrites()
{
    Fixture f;
    f.window->setServerRows({entry(QStringLiteral("a"), QStringLiteral("10.0.0.1"), QStringLiteral("1863"), CurrentMarker),
                             entry(QStringLiteral("b"), QStringLiteral("10.0.0.2"), QStringLiteral("1863"))});
    auto shell = std::make_unique<ObservingShell>();
    int signoutsAtWrite = -1;
    QStringList statusesAtWrite;
    shell->observe = [&](const QString &) {
        signoutsAtWrite = f.signouts();
        statusesAtWrite = f.statuses();
    };
    f.globals.ShellObject = std::move(shell);
    f.select(1);
    f.click();

    QCOMPARE(signoutsAtWrite, 1);
    QCOMPARE(statusesAtWrite, (QStringList{QString(), CurrentMarker}));
}

void TestUseServer::serverListedTwice_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("value");
    QTest::newRow("first of the two") << 0 << "myhost;10.0.0.1:1863";
    QTest::newRow("second of the two") << 2 << "MyHost;10.0.0.1:1863";
    QTest::newRow("another row") << 1 << "other;10.0.0.2:1863";
    QTest::newRow("row without host") << 3 << "10.0.0.3:1863";
}

void TestUseServer::serverListedTwice()
{
    QFETCH(int, row);
    QFETCH(QString, value);

    Fixture f;
    f.window->setServerRows(parseServerList(duplicateList, duplicateServer));
    QCOMPARE(f.statuses(), (QStringList{CurrentMarker, QString(), CurrentMarker, QString()}));

    f.select(row);
    f.click();

    QStringList expected(4, QString());
    expected[row] = CurrentMarker;
    QCOMPARE(f.statuses(), expected);
    QCOMPARE(f.writes(), QStringList{written(value)});
}

void TestUseServer::switchingToTheMarkedRowAgain()
{
    Fixture f;
    f.window->setServerRows(parseServerList(duplicateList, duplicateServer));
    f.select(2);
    f.click();
    f.click();

    QCOMPARE(f.signouts(), 2);
    QCOMPARE(f.writes(), QStringList(2, written(QStringLiteral("MyHost;10.0.0.1:1863"))));
    QCOMPARE(f.statuses(), (QStringList{QString(), QString(), CurrentMarker, QString()}));
    QVERIFY(f.platform.messageBoxes.isEmpty());
}

void TestUseServer::withoutMessengerNoSignout_data()
{
    QTest::addColumn<bool>("objectExists");
    QTest::newRow("object kept, not loaded") << true;
    QTest::newRow("no object") << false;
}

void TestUseServer::withoutMessengerNoSignout()
{
    QFETCH(bool, objectExists);
    Fixture f(false);
    if (!objectExists) {
        f.globals.MessengerApi.reset();
        f.platform.messenger = nullptr;
    }
    f.window->setServerRows(parseServerList(duplicateList, duplicateServer));
    f.select(1);
    f.click();

    QCOMPARE(f.signouts(), 0);
    QCOMPARE(f.writes(), QStringList{written(QStringLiteral("other;10.0.0.2:1863"))});
    QCOMPARE(f.statuses(), (QStringList{QString(), CurrentMarker, QString(), QString()}));
    QVERIFY(f.platform.messageBoxes.isEmpty());
}

void TestUseServer::failedSignoutStillSwitches()
{
    Fixture f;
    f.platform.messenger->failSignout = true;
    f.window->setServerRows(parseServerList(duplicateList, duplicateServer));
    f.select(3);
    f.click();

    QCOMPARE(f.signouts(), 1);
    QCOMPARE(f.writes(), QStringList{written(QStringLiteral("10.0.0.3:1863"))});
    QCOMPARE(f.statuses(), (QStringList{QString(), QString(), QString(), CurrentMarker}));
    QVERIFY(f.platform.messageBoxes.isEmpty()); // a failed sign-out stays silent
}

void TestUseServer::failedWriteRestoresTheMarks_data()
{
    QTest::addColumn<bool>("shellExists");
    QTest::addColumn<QString>("reason");
    QTest::newRow("write refused") << true << QStringLiteral("Access denied.");
    QTest::newRow("no shell object") << false << QString();
}

void TestUseServer::failedWriteRestoresTheMarks()
{
    QFETCH(bool, shellExists);
    QFETCH(QString, reason);

    Fixture f;
    if (shellExists)
        f.platform.shell->failWrites = true;
    else
        f.globals.ShellObject.reset();
    f.window->setServerRows(parseServerList(duplicateList, duplicateServer));
    const QStringList before = f.statuses();
    f.select(1);
    f.window->show();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    f.window->findChild<QPushButton *>(QStringLiteral("cmdUseServer"))->setFocus();

    f.click();

    QCOMPARE(f.statuses(), before); // the list names the server the setting still holds
    QCOMPARE(f.platform.messageBoxes.size(), 1);
    const FakePlatform::MessageBox box = f.platform.messageBoxes.first();
    QCOMPARE(box.style, int(MB_ICONERROR));
    QVERIFY2(box.text.contains(QStringLiteral("could not be changed")), qPrintable(box.text));
    if (!reason.isEmpty())
        QVERIFY2(box.text.contains(reason), qPrintable(box.text));
    QCOMPARE(f.signouts(), 1);
    QVERIFY(f.list()->hasFocus());
    QCOMPARE(f.window->selectedRow(), 1);
}

void TestUseServer::focusAndSelectionAfterSwitch()
{
    Fixture f;
    f.window->setServerRows(parseServerList(duplicateList, duplicateServer));
    f.window->show();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    f.select(3);
    auto *details = f.window->findChild<QWidget *>(QStringLiteral("txtInfo"));
    const QString detailsBefore = details->property("plainText").toString();
    auto *button = f.window->findChild<QPushButton *>(QStringLiteral("cmdUseServer"));
    button->setFocus();
    QVERIFY(button->hasFocus());

    QTest::mouseClick(button, Qt::LeftButton);

    QVERIFY(f.list()->hasFocus());
    QCOMPARE(f.window->selectedRow(), 3);
    QVERIFY(f.list()->selectionModel()->isRowSelected(3, QModelIndex()));
    QCOMPARE(f.list()->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(details->property("plainText").toString(), detailsBefore);
    QCOMPARE(f.writes(), QStringList{written(QStringLiteral("10.0.0.3:1863"))});
}

void TestUseServer::emptyListDoesNothing()
{
    Fixture f;
    f.window->setServerRows({});
    f.click();

    QCOMPARE(f.signouts(), 0);
    QVERIFY(f.writes().isEmpty());
    QVERIFY(f.platform.messageBoxes.isEmpty());
}

void TestUseServer::linuxStoreKeepsEverythingElse_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");

    const QByteArray head = "Windows Registry Editor Version 5.00\r\n"
                            "\r\n"
                            "; kept as it is\r\n"
                            "[HKEY_CURRENT_USER\\Software\\Torvik\\Nexolan]\r\n"
                            "\"ShowLinks\"=\"\"\r\n"
                            "\r\n";
    const QByteArray messengerKey = "[HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger]\r\n";
    const QByteArray tail = "\r\n"
                            "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
                            "\"Server\"=\"untouched;10.9.9.9:1\"\r\n"
                            "this line means nothing\r\n";
    const QByteArray newValue = "\"Server\"=\"myhost;10.0.0.1:1863\"\r\n";

    QTest::newRow("value replaced")
        << head + messengerKey + "\"Before\"=dword:00000001\r\n\"Server\"=\"old;10.0.0.9:1863\"\r\n\"After\"=\"x\"\r\n" + tail
        << head + messengerKey + "\"Before\"=dword:00000001\r\n" + newValue + "\"After\"=\"x\"\r\n" + tail;
    QTest::newRow("number replaced by a text")
        << head + messengerKey + "\"Server\"=dword:0000074f\r\n" + tail
        << head + messengerKey + newValue + tail;
    QTest::newRow("value added to its key")
        << head + messengerKey + "\"Other\"=\"y\"\r\n" + tail
        << head + messengerKey + "\"Other\"=\"y\"\r\n" + newValue + tail;
    QTest::newRow("key added") << head + tail << head + tail + "\r\n" + messengerKey + newValue;
}

void TestUseServer::linuxStoreKeepsEverythingElse()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);

    QTemporaryDir config;
    QVERIFY(config.isValid());
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    const QString path = LinuxPlatform::registryFilePath();
    if (oldConfig.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", oldConfig);
    QVERIFY2(path.startsWith(config.path() + QLatin1Char('/')), qPrintable(path));

    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(before);
    file.close();

    Fixture f;
    f.globals.ShellObject = std::make_unique<RegistryFileShell>(path);
    f.window->setServerRows({entry(QStringLiteral("other"), QStringLiteral("10.0.0.2"), QStringLiteral("1863"), CurrentMarker),
                             entry(QStringLiteral("myhost"), QStringLiteral("10.0.0.1"), QStringLiteral("01863"))});
    f.select(1);
    f.click();

    QVERIFY(f.platform.messageBoxes.isEmpty());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), after);

    RegValue value;
    QString error;
    QVERIFY2(f.globals.ShellObject->RegRead(MessengerServerValue, &value, &error), qPrintable(error));
    QCOMPARE(value.kind, RegValue::Kind::Text);
    QCOMPARE(value.text, QStringLiteral("myhost;10.0.0.1:1863"));
    QCOMPARE(f.statuses(), (QStringList{QString(), CurrentMarker}));
}

QTEST_MAIN(TestUseServer)
#include "tst_useserver.moc"
