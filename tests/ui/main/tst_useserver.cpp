#include "app/LinuxPlatform.h"
#include "app/RegistryFile.h"
#include "servers/ServerList.h"
#include "servers/ServerListModel.h"
#include "support/FakePlatform.h"
#include "ui/main/frmMain.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

namespace {

// The main window and the fake objects it talks to.
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

    QPushButton *button() const { return window->findChild<QPushButton *>(QStringLiteral("cmdUseServer")); }
    QTreeView *list() const { return window->findChild<QTreeView *>(QStringLiteral("lvw")); }
    void select(int row) { list()->setCurrentIndex(window->model()->index(row, 0)); }
    QStringList statuses() const { return window->model()->statuses(); }
    QStringList writes() const { return platform.shell ? platform.shell->writes : QStringList(); }
    int signouts() const { return platform.messenger ? platform.messenger->signouts : 0; }
    void useDuplicateList()
    {
        window->setServerRows(parseServerList(QStringLiteral("myhost;10.0.0.1;1863\r\nother;10.0.0.2;1863\r\n"
                                                             "MyHost;10.0.0.1;01863\r\n;10.0.0.3;1863\r\n"),
                                              CurrentServer{QStringLiteral("myhost"), QStringLiteral("10.0.0.1"),
                                                            QStringLiteral("1863")}));
    }

    FakePlatform platform;
    AppGlobals globals;
    std::unique_ptr<frmMain> window;
};

QString written(const QString &value)
{
    return MessengerServerValue + QLatin1Char('=') + value;
}

// Only the given row marked.
QStringList marked(int row, int rows = 4)
{
    QStringList statuses(rows);
    statuses[row] = CurrentMarker;
    return statuses;
}

} // namespace

// "Use this server": sign-out, compose, moving the marker, the write, focus.
class TestUseServer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void composesTheSelectedRow_data()
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
    void composesTheSelectedRow()
    {
        QFETCH(QString, host);
        QFETCH(QString, ip);
        QFETCH(QString, port);
        QFETCH(QString, value);
        Fixture f;
        f.window->setServerRows({{QStringLiteral("first"), QStringLiteral("10.9.9.9"), QStringLiteral("1"), CurrentMarker},
                                 {host, ip, port, {}}});
        f.select(1);
        // Sign-out first, then the marker moves, then the write.
        int signoutsAtMark = -1;
        QStringList marksBeforeWrite;
        connect(f.window->model(), &QAbstractItemModel::dataChanged, this, [&] {
            if (!f.writes().isEmpty())
                return;
            signoutsAtMark = f.signouts();
            marksBeforeWrite = f.statuses();
        });
        f.button()->click();

        QCOMPARE(signoutsAtMark, 1);
        QCOMPARE(marksBeforeWrite, marked(1, 2));
        QCOMPARE(f.writes(), QStringList{written(value)});
        QCOMPARE(f.platform.shell->values.value(MessengerServerValue.toLower()).kind, RegValue::Kind::Text);
        QCOMPARE(f.statuses(), marked(1, 2));
        QCOMPARE(f.signouts(), 1);
        QVERIFY(f.platform.messageBoxes.isEmpty()); // a switch is silent
    }

    // On the list with the server twice (both rows marked, one after a switch).
    // The list then has the focus, the row stays selected; a failed write
    // restores the marks and shows one error box.
    void switchOnTheList_data()
    {
        QTest::addColumn<int>("row"); // -1: an empty list
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<int>("signouts");
        QTest::addColumn<QString>("value"); // written each click; none if empty
        QTest::newRow("first of the two") << 0 << "" << 1 << 1 << "myhost;10.0.0.1:1863";
        QTest::newRow("second of the two, twice") << 2 << "" << 2 << 2 << "MyHost;10.0.0.1:1863";
        QTest::newRow("another row") << 1 << "" << 1 << 1 << "other;10.0.0.2:1863";
        QTest::newRow("row without host") << 3 << "" << 1 << 1 << "10.0.0.3:1863";
        QTest::newRow("Messenger not loaded") << 1 << "not loaded" << 1 << 0 << "other;10.0.0.2:1863";
        QTest::newRow("no Messenger object") << 1 << "no object" << 1 << 0 << "other;10.0.0.2:1863";
        QTest::newRow("sign-out fails") << 3 << "sign-out fails" << 1 << 1 << "10.0.0.3:1863";
        QTest::newRow("write refused") << 1 << "Access denied." << 1 << 1 << "";
        QTest::newRow("no shell object") << 1 << "no shell" << 1 << 1 << "";
        QTest::newRow("empty list") << -1 << "" << 1 << 0 << "";
    }
    void switchOnTheList()
    {
        QFETCH(int, row);
        QFETCH(QString, setup);
        QFETCH(int, clicks);
        QFETCH(int, signouts);
        QFETCH(QString, value);
        Fixture f(setup != QLatin1String("not loaded") && setup != QLatin1String("no object"));
        if (setup == QLatin1String("no object")) {
            f.globals.MessengerApi.reset();
            f.platform.messenger = nullptr;
        } else if (setup == QLatin1String("no shell")) {
            f.globals.ShellObject.reset();
            f.platform.shell = nullptr;
        }
        if (setup == QLatin1String("sign-out fails"))
            f.platform.messenger->failSignout = true;
        if (setup == QLatin1String("Access denied."))
            f.platform.shell->failWrites = true;
        const bool failed = setup == QLatin1String("Access denied.") || setup == QLatin1String("no shell");
        row < 0 ? f.window->setServerRows({}) : f.useDuplicateList();
        const QStringList before = f.statuses();
        QCOMPARE(before, row < 0 ? QStringList() : QStringList({CurrentMarker, {}, CurrentMarker, {}}));
        f.window->show();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        if (row >= 0)
            f.select(row);
        auto *details = f.window->findChild<QPlainTextEdit *>(QStringLiteral("txtInfo"));
        const QString detailsBefore = details->toPlainText();
        for (int n = 0; n < clicks; ++n) {
            f.button()->setFocus();
            QTest::mouseClick(f.button(), Qt::LeftButton);
        }

        QCOMPARE(f.signouts(), signouts);
        QCOMPARE(f.writes(), value.isEmpty() ? QStringList() : QStringList(clicks, written(value)));
        QCOMPARE(f.statuses(), failed || row < 0 ? before : marked(row));
        QCOMPARE(details->toPlainText(), detailsBefore);
        if (row >= 0) {
            QVERIFY(f.list()->hasFocus());
            QCOMPARE(f.window->selectedRow(), row);
            QCOMPARE(f.list()->selectionModel()->selectedRows(), QModelIndexList({f.window->model()->index(row, 0)}));
        }
        QCOMPARE(f.platform.messageBoxes.size(), failed ? 1 : 0); // a failed sign-out stays silent
        if (!failed)
            return;
        const FakePlatform::MessageBox box = f.platform.messageBoxes.first();
        QCOMPARE(box.style, int(MB_ICONERROR));
        QVERIFY2(box.text.contains(QStringLiteral("could not be changed")), qPrintable(box.text));
        if (setup != QLatin1String("no shell"))
            QVERIFY2(box.text.contains(setup), qPrintable(box.text));
    }

    // The registry file keeps every other key, value and comment byte for byte.
    void linuxStoreKeepsEverythingElse_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        const QByteArray head = "Windows Registry Editor Version 5.00\r\n\r\n; kept as it is\r\n"
                                "[HKEY_CURRENT_USER\\Software\\Torvik\\Nexolan]\r\n\"ShowLinks\"=\"\"\r\n\r\n";
        const QByteArray key = "[HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger]\r\n";
        const QByteArray tail = "\r\n[HKEY_CURRENT_USER\\Software\\Other]\r\n"
                                "\"Server\"=\"untouched;10.9.9.9:1\"\r\nthis line means nothing\r\n";
        const QByteArray value = "\"Server\"=\"myhost;10.0.0.1:1863\"\r\n";
        QTest::newRow("value replaced")
            << head + key + "\"Before\"=dword:00000001\r\n\"Server\"=\"old;10.0.0.9:1863\"\r\n\"After\"=\"x\"\r\n" + tail
            << head + key + "\"Before\"=dword:00000001\r\n" + value + "\"After\"=\"x\"\r\n" + tail;
        QTest::newRow("number replaced by a text") << head + key + "\"Server\"=dword:0000074f\r\n" + tail
                                                   << head + key + value + tail;
        QTest::newRow("value added to its key") << head + key + "\"Other\"=\"y\"\r\n" + tail
                                                << head + key + "\"Other\"=\"y\"\r\n" + value + tail;
        QTest::newRow("key added") << head + tail << head + tail + "\r\n" + key + value;
    }
    void linuxStoreKeepsEverythingElse()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QTemporaryDir config;
        QVERIFY(config.isValid());
        const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        const QString path = LinuxPlatform::registryFilePath();
        oldConfig.isNull() ? void(qunsetenv("XDG_CONFIG_HOME")) : void(qputenv("XDG_CONFIG_HOME", oldConfig));
        QVERIFY2(path.startsWith(config.path() + QLatin1Char('/')), qPrintable(path));
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(before) == before.size());
        file.close();

        Fixture f;
        f.globals.ShellObject = std::make_unique<RegistryFileShell>(path);
        f.window->setServerRows({{QStringLiteral("other"), QStringLiteral("10.0.0.2"), QStringLiteral("1863"), CurrentMarker},
                                 {QStringLiteral("myhost"), QStringLiteral("10.0.0.1"), QStringLiteral("01863"), {}}});
        f.select(1);
        f.button()->click();

        QVERIFY(f.platform.messageBoxes.isEmpty());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), after);
        RegValue value;
        QString error;
        QVERIFY2(f.globals.ShellObject->RegRead(MessengerServerValue, &value, &error), qPrintable(error));
        QCOMPARE(value.kind, RegValue::Kind::Text);
        QCOMPARE(value.text, QStringLiteral("myhost;10.0.0.1:1863"));
        QCOMPARE(f.statuses(), marked(1, 2));
    }
};

QTEST_MAIN(TestUseServer)
#include "tst_useserver.moc"
