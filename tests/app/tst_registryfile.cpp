#include "app/RegistryFile.h"

#include <QTemporaryDir>
#include <QTest>

namespace {
const QString messengerKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger");
const QString serverPath = messengerKey + QStringLiteral("\\Server");

QByteArray crlf(QByteArray text)
{
    return text.replace("\n", "\r\n");
}
} // namespace

class TestRegistryFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void read_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("valueName");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<bool>("isNumber");
        QTest::addColumn<QString>("text");
        QTest::addColumn<uint>("number");

        const QByteArray file = "Windows Registry Editor Version 5.00\n\n"
                                "[HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger]\n"
                                "\"Server\"=\"myhost;10.0.0.1:1863\"\n"
                                "\"Path\"=\"C:\\\\Program Files\\\\\\\"x\\\"\"\n"
                                "\"Flags\"=dword:0000075f\n"
                                "\"Empty\"=\"\"\n"
                                "\"Binary\"=hex:01,02\n"
                                "\"Gone\"=-\n"
                                "@=\"default\"\n";
        QTest::newRow("string") << file << "Server" << true << false << "myhost;10.0.0.1:1863" << 0u;
        QTest::newRow("escapes") << file << "Path" << true << false << "C:\\Program Files\\\"x\"" << 0u;
        QTest::newRow("dword") << file << "Flags" << true << true << "" << 0x75fu;
        QTest::newRow("empty string") << file << "Empty" << true << false << "" << 0u;
        QTest::newRow("default value") << file << "" << true << false << "default" << 0u;
        QTest::newRow("names ignore case") << file << "SERVER" << true << false << "myhost;10.0.0.1:1863" << 0u;
        QTest::newRow("missing value") << file << "Other" << false << false << "" << 0u;
        QTest::newRow("deleted value") << file << "Gone" << false << false << "" << 0u;
        QTest::newRow("unsupported type") << file << "Binary" << false << false << "" << 0u;
        QTest::newRow("CR LF file") << crlf(file) << "Server" << true << false << "myhost;10.0.0.1:1863" << 0u;
        QTest::newRow("empty file") << QByteArray() << "Server" << false << false << "" << 0u;
        QTest::newRow("value under another key") << QByteArray("[HKEY_CURRENT_USER\\Other]\n\"Server\"=\"x\"\n")
                                                  << "Server" << false << false << "" << 0u;
        QTest::newRow("later line wins") << QByteArray("[HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger]\n"
                                                       "\"Server\"=\"old\"\n"
                                                       "[HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger]\n"
                                                       "\"Server\"=\"new\"\n")
                                         << "Server" << true << false << "new" << 0u;
        QTest::newRow("comments, blanks and garbage") << QByteArray("; exported by hand\n\n"
                                                                    "[HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger]\n"
                                                                    "this is not a value\n"
                                                                    "  ; a comment\n"
                                                                    "\n"
                                                                    "  \"Server\" = \"spaced\"  \n")
                                                      << "Server" << true << false << "spaced" << 0u;
        QTest::newRow("unterminated string") << QByteArray("[HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger]\n"
                                                           "\"Server\"=\"open\n")
                                             << "Server" << false << false << "" << 0u;
        QTest::newRow("UTF-16 export") << QByteArray("\xFF\xFE[\0") << "Server" << false << false << "" << 0u;
    }

    void read()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, valueName);
        QFETCH(bool, ok);
        QFETCH(bool, isNumber);
        QFETCH(QString, text);
        QFETCH(uint, number);

        RegValue value;
        QString error;
        QCOMPARE(RegistryFile(content).read(messengerKey, valueName, &value, &error), ok);
        if (!ok) {
            QVERIFY(!error.isEmpty());
            return;
        }
        QCOMPARE(value.kind == RegValue::Kind::Number, isNumber);
        QCOMPARE(value.text, text);
        QCOMPARE(value.number, quint32(number));
    }

    void write_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");

        QTest::newRow("new file") << QByteArray() << "myhost;10.0.0.1:1863"
                                  << QByteArray("Windows Registry Editor Version 5.00\r\n\r\n"
                                                "[HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger]\r\n"
                                                "\"Server\"=\"myhost;10.0.0.1:1863\"\r\n");
        const QByteArray other = "Windows Registry Editor Version 5.00\n\n"
                                 "; keep me\n"
                                 "[HKEY_CURRENT_USER\\Software\\Torvik\\Nexolan]\n"
                                 "\"ShowLinks\"=\"\"\n"
                                 "garbage \xFF line\n";
        QTest::newRow("new key appended, rest kept")
            << other << "10.0.0.1:1863"
            << other + "\n[HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger]\n\"Server\"=\"10.0.0.1:1863\"\n";
        const QByteArray withValue = "[HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger]\r\n"
                                     "\"Before\"=dword:00000001\r\n"
                                     "\"server\"=\"old\"\r\n"
                                     "\"After\"=\"x\"\r\n";
        QTest::newRow("replaced in place, line ending kept")
            << withValue << "new"
            << QByteArray("[HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger]\r\n"
                          "\"Before\"=dword:00000001\r\n"
                          "\"Server\"=\"new\"\r\n"
                          "\"After\"=\"x\"\r\n");
        QTest::newRow("added after the key's last value")
            << QByteArray("[HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger]\n\"A\"=\"1\"\n\n[HKEY_CURRENT_USER\\Other]\n")
            << "v"
            << QByteArray("[HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger]\n\"A\"=\"1\"\n\"Server\"=\"v\"\n\n"
                          "[HKEY_CURRENT_USER\\Other]\n");
        QTest::newRow("last line without line ending")
            << QByteArray("[HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger]\n\"A\"=\"1\"") << "v"
            << QByteArray("[HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger]\n\"A\"=\"1\"\n\"Server\"=\"v\"\n");
        QTest::newRow("escaped on write") << QByteArray("[HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger]\n")
                                          << "a\\b\"c"
                                          << QByteArray("[HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger]\n"
                                                        "\"Server\"=\"a\\\\b\\\"c\"\n");
        QTest::newRow("digits stay a string") << QByteArray("[HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger]\n"
                                                            "\"Server\"=dword:00000001\n")
                                              << "1863"
                                              << QByteArray("[HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger]\n"
                                                            "\"Server\"=\"1863\"\n");
    }

    void write()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);

        RegistryFile file(before);
        QString error;
        QVERIFY2(file.write(messengerKey, QStringLiteral("Server"), value, &error), qPrintable(error));
        QCOMPARE(file.content(), after);

        RegValue back;
        QVERIFY(RegistryFile(file.content()).read(messengerKey, QStringLiteral("Server"), &back, &error));
        QCOMPARE(back.kind, RegValue::Kind::Text);
        QCOMPARE(back.text, value);
    }

    void writeRefusesWhatItCannotStore_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("valueName");
        QTest::addColumn<QString>("value");
        const QByteArray file("[HKEY_CURRENT_USER\\Other]\n\"Server\"=\"kept\"\n");
        QTest::newRow("line feed in value") << QByteArray() << messengerKey << "Server" << "a\nb";
        QTest::newRow("carriage return in value") << QByteArray() << messengerKey << "Server" << "a\rb";
        QTest::newRow("UTF-16 file") << QByteArray("\xFF\xFE[\0", 4) << messengerKey << "Server" << "x";
        // A line break in a name would cut its line in two: this value name
        // would set the key's default value, this key would put "Server"
        // under the key Other.
        QTest::newRow("line feed in value name") << file << messengerKey << "a\n@=dword:1\nb" << "y";
        QTest::newRow("line feed in key") << file << "HKEY_CURRENT_USER\\A]\n[HKEY_CURRENT_USER\\Other" << "Server" << "y";
        QTest::newRow("carriage return in key") << file << "HKEY_CURRENT_USER\\A\r" << "Server" << "y";
    }

    void writeRefusesWhatItCannotStore()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, key);
        QFETCH(QString, valueName);
        QFETCH(QString, value);
        RegistryFile file(content);
        QString error;
        QVERIFY(!file.write(key, valueName, value, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(file.content(), content);
    }

    void paths_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("valueName");
        QTest::newRow("messenger") << serverPath << true << messengerKey << "Server";
        QTest::newRow("root in other case") << "hkey_current_user\\X\\V" << true << "hkey_current_user\\X" << "V";
        QTest::newRow("default value") << "HKEY_CURRENT_USER\\X\\" << true << "HKEY_CURRENT_USER\\X" << "";
        QTest::newRow("other root") << "HKEY_LOCAL_MACHINE\\Software\\X" << false << "" << "";
        QTest::newRow("no key") << "Server" << false << "" << "";
        QTest::newRow("root prefix only") << "HKEY_CURRENT_USERX\\Y" << false << "" << "";
    }

    void paths()
    {
        QFETCH(QString, path);
        QFETCH(bool, ok);
        QString key, valueName, error;
        QCOMPARE(splitRegistryPath(path, &key, &valueName, &error), ok);
        if (ok) {
            QTEST(key, "key");
            QTEST(valueName, "valueName");
        }
    }

    void shellOnDisk()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("sub/registry.reg"));
        RegistryFileShell shell(path);
        RegValue value;
        QString error;
        QVERIFY(!shell.RegRead(serverPath, &value, &error)); // no file yet
        QVERIFY(!error.isEmpty());

        QVERIFY2(shell.RegWrite(serverPath, QStringLiteral("10.0.0.1:1863"), &error), qPrintable(error));
        QVERIFY(shell.RegRead(serverPath, &value, &error));
        QCOMPARE(value.text, QStringLiteral("10.0.0.1:1863"));
        QVERIFY(!shell.RegRead(QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\X"), &value, &error));
        QVERIFY(!shell.RegWrite(QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\X"), QStringLiteral("v"), &error));
    }

    void shellReportsWriteFailure()
    {
        QTemporaryDir dir;
        // The registry file's folder is a plain file: nothing can be created.
        QFile blocker(dir.filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        RegistryFileShell shell(dir.filePath(QStringLiteral("blocker/registry.reg")));
        QString error;
        QVERIFY(!shell.RegWrite(serverPath, QStringLiteral("v"), &error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRegistryFile)
#include "tst_registryfile.moc"
