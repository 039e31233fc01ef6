#include "core/WineRegistryFile.h"

#include <QTest>

namespace {

const QByteArray head = "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n";
const QString messengerKey = QStringLiteral("Software\\Microsoft\\MSNMessenger");
// 1796596793 s after 1970, as "] <seconds>" and as Wine's #time= FILETIME.
const QDateTime now = QDateTime::fromSecsSinceEpoch(1796596793, Qt::UTC);
const QByteArray nowLines = "] 1796596793\n#time=1dd85d2b5c20280\n";

const QByteArray messenger = "\n[Software\\\\Microsoft\\\\MSNMessenger] 1700000000\n#time=1da1a1a1a1a1a1a\n";
const QByteArray messengerNow = "\n[Software\\\\Microsoft\\\\MSNMessenger" + nowLines;

} // namespace

class TestWineRegistryFile : public QObject
{
    Q_OBJECT

private slots:
    void escapes_data();
    void escapes();
    void readValue_data();
    void readValue();
    void setText_data();
    void setText();
    void hasKey_data();
    void hasKey();
};

void TestWineRegistryFile::escapes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("escaped");
    QTest::newRow("plain") << QStringLiteral("messenger.hotmail.com:1863") << QStringLiteral("messenger.hotmail.com:1863");
    QTest::newRow("backslash, quote") << QStringLiteral("a\\b\"c") << QStringLiteral("a\\\\b\\\"c");
    QTest::newRow("non-ASCII, no hex digit after") << QStringLiteral("m\u00e9g\u4e2d") << QStringLiteral("m\\xe9g\\x4e2d");
    QTest::newRow("non-ASCII, hex digit after") << QStringLiteral("\u00e9a\u00e91") << QStringLiteral("\\x00e9a\\x00e91");
    QTest::newRow("outside the BMP") << QStringLiteral("\U0001F600") << QStringLiteral("\\xd83d\\xde00");
    QTest::newRow("C escapes") << QStringLiteral("\a\b\t\n\v\f\r\x1b") << QStringLiteral("\\a\\b\\t\\n\\v\\f\\r\\e");
    QTest::newRow("octal, digit after") << QStringLiteral("\x01" "7") << QStringLiteral("\\0017");
    QTest::newRow("octal, other after") << QStringLiteral("\x01" "8\x1f") << QStringLiteral("\\18\\37");
    QTest::newRow("DEL stays") << QStringLiteral("\x7f") << QStringLiteral("\x7f");
}

// Escaped as Wine writes, read back as Wine reads: the text comes back whole.
void TestWineRegistryFile::escapes()
{
    QFETCH(QString, text);
    QFETCH(QString, escaped);
    QCOMPARE(WineRegistryFile::escape(text, u'"', u'"'), escaped);
    QString read;
    qsizetype pos = 0;
    QVERIFY(WineRegistryFile::unescape(escaped + u'"', &pos, u'"', &read));
    QCOMPARE(read, text);
    QCOMPARE(pos, escaped.size() + 1);
}

void TestWineRegistryFile::readValue_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected"); // the text, "#<number>", or "!<words of the error>"
    const QByteArray key = head + messenger;
    QTest::newRow("text") << key + "\"Server\"=\"a\\\\b\\x00e9f\"\n" << "Server" << QStringLiteral("a\\b\u00e9f");
    QTest::newRow("str(2)") << key + "\"Server\"=str(2):\"x\"\n" << "Server" << "x";
    QTest::newRow("str:") << key + "\"Server\"=str:\"y\"\n" << "Server" << "y";
    QTest::newRow("dword") << key + "\"Port\"=dword:0000075f\n" << "Port" << "#1887";
    QTest::newRow("default value") << key + "@=\"d\"\n" << "" << "d";
    QTest::newRow("blanks, case, CRLF") << head + "\r\n[software\\\\microsoft\\\\msnmessenger]\r\n  \"SERVER\" = \"z\"\r\n"
                                        << "Server" << "z";
    QTest::newRow("repeated section: last wins") << key + "\"Server\"=\"old\"\n" + messenger + "\"Server\"=\"new\"\n"
                                                  << "Server" << "new";
    QTest::newRow("escaped quote and bracket in name") << key + "\"a\\\"]\"=\"q\"\n" << "a\"]" << "q";
    QTest::newRow("hex") << key + "\"Server\"=hex:00,01,\\\n  02\n" << "Server" << "!neither text nor a number";
    QTest::newRow("str(7)") << key + "\"Server\"=str(7):\"a\"\n" << "Server" << "!neither text";
    QTest::newRow("hex(2)") << key + "\"Server\"=hex(2):61,00\n" << "Server" << "!neither text";
    QTest::newRow("unterminated") << key + "\"Server\"=\"abc\n" << "Server" << "!malformed";
    QTest::newRow("missing value") << key + "\"Other\"=\"x\"\n" << "Server"
                                   << "!value HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger\\Server does not exist";
    QTest::newRow("missing key") << head << "Server" << "!key HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger does not";
    QTest::newRow("value of another key") << head + "\n[Software\\\\Microsoft]\n\"Server\"=\"x\"\n" << "Server" << "!does not exist";
    QTest::newRow("unknown header") << "WINE REGISTRY Version 3\n" + messenger + "\"Server\"=\"x\"\n" << "Server" << "!not a registry file";
}

void TestWineRegistryFile::readValue()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, name);
    QFETCH(QString, expected);
    const WineRegistryFile file(content, QStringLiteral("HKEY_CURRENT_USER"));
    RegValue value;
    QString error;
    const bool ok = file.read(messengerKey, name, &value, &error);
    if (expected.startsWith(u'!')) {
        QVERIFY(!ok);
        QVERIFY2(error.contains(expected.mid(1)), qPrintable(error));
    } else {
        QVERIFY2(ok, qPrintable(error));
        QCOMPARE(value.kind == RegValue::Kind::Number ? u'#' + value.toText() : value.text, expected);
    }
}

void TestWineRegistryFile::setText_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected"); // empty: refused, content unchanged
    const QByteArray before = "\n[Software\\\\Classes] 1600000000\n#time=1d000000000000\n\"A\"=\"a\"\n";
    const QByteArray after = "\n[System] 1600000000\n#time=1d000000000000\n\"Z\"=dword:00000001\n";
    const QString server = QStringLiteral("Server");

    QTest::newRow("replace, others untouched")
        << head + before + messenger + "\"A\"=\"1\"\n\"Server\"=\"old\"\n\"Z\"=\"2\"\n" + after << messengerKey << server
        << QStringLiteral("new.example.com:1863")
        << head + before + messengerNow + "\"A\"=\"1\"\n\"Server\"=\"new.example.com:1863\"\n\"Z\"=\"2\"\n" + after;
    QTest::newRow("replace hex and its continuation lines, keep CRLF")
        << head + messenger + "\"Server\"=hex:01,02,\\\n  03,04\r\n\"Z\"=\"2\"\n" << messengerKey << server << "x"
        << head + messengerNow + "\"Server\"=\"x\"\r\n\"Z\"=\"2\"\n";
    QTest::newRow("escapes written as Wine writes them")
        << head + messenger + "\"Server\"=\"old\"\n" << messengerKey << server << QStringLiteral("\"\\\u00e9a\n")
        << head + messengerNow + "\"Server\"=\"\\\"\\\\\\x00e9a\\n\"\n";
    QTest::newRow("no seconds on the key line: none added")
        << head + "\n[Software\\\\Microsoft\\\\MSNMessenger]\n\"Server\"=\"old\"\n" << messengerKey << server << "n"
        << head + "\n[Software\\\\Microsoft\\\\MSNMessenger]\n\"Server\"=\"n\"\n";
    QTest::newRow("repeated value: its last line replaced")
        << head + messenger + "\"Server\"=\"one\"\n" + messenger + "\"Server\"=\"two\"\n" << messengerKey << server << "n"
        << head + messenger + "\"Server\"=\"one\"\n" + messengerNow + "\"Server\"=\"n\"\n";
    QTest::newRow("add value in order")
        << head + messenger + "\"A\"=\"1\"\n\"Z\"=\"2\"\n" + after << messengerKey << server << "n"
        << head + messengerNow + "\"A\"=\"1\"\n\"Server\"=\"n\"\n\"Z\"=\"2\"\n" + after;
    QTest::newRow("add value after the last")
        << head + messenger + "\"A\"=\"1\"\n" + after << messengerKey << server << "n"
        << head + messengerNow + "\"A\"=\"1\"\n\"Server\"=\"n\"\n" + after;
    QTest::newRow("add key in order") << head + before + after << messengerKey << server << "n"
                                      << head + before + messengerNow + "\"Server\"=\"n\"\n" + after;
    QTest::newRow("add key at the end, file without final line break") << head + before.chopped(1) << messengerKey
                                                                        << server << "n"
                                                                        << head + before + messengerNow + "\"Server\"=\"n\"\n";
    QTest::newRow("add key with escaped name") << head << QStringLiteral("Software\\A[1]\u00e9") << "" << "n"
                                               << head + "\n[Software\\\\A\\[1\\]\\xe9" + nowLines + "@=\"n\"\n";
    QTest::newRow("unknown header") << "WINE REGISTRY Version 3\n" + messenger + "\"Server\"=\"old\"\n" << messengerKey
                                    << server << "n" << QByteArray();
    QTest::newRow("UTF-16 file") << QByteArray("\xff\xfeW\0I\0N\0E\0\n\0", 12) << messengerKey << server << "n"
                                 << QByteArray();
    QTest::newRow("unknown architecture") << QByteArray(head).replace("win64", "win128") << messengerKey << server << "n"
                                          << QByteArray();
    QTest::newRow("second, other architecture") << head + "#arch=win32\n" << messengerKey << server << "n" << QByteArray();
    QTest::newRow("null character") << head << messengerKey << server << QString::fromUtf16(u"a\0b", 3) << QByteArray();
}

void TestWineRegistryFile::setText()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, key);
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    WineRegistryFile file(content);
    QString error;
    const bool ok = file.setText(key, name, text, now, &error);
    QCOMPARE(ok, !expected.isEmpty());
    QCOMPARE(file.content(), expected.isEmpty() ? content : expected);
    if (!ok) {
        QVERIFY(!error.isEmpty());
        return;
    }
    // Read back from the written bytes, as Wine would load them.
    RegValue value;
    QVERIFY2(WineRegistryFile(file.content()).read(key, name, &value, &error), qPrintable(error));
    QCOMPARE(value.text, text);
}

void TestWineRegistryFile::hasKey_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("has");
    const QString classKey = QStringLiteral("Software\\Classes\\CLSID\\{B69003B3-C55E-4B48-836C-BC5946FC3B28}");
    QTest::newRow("only a subkey has a section")
        << head + "\n[Software\\\\Classes\\\\CLSID\\\\{b69003b3-c55e-4b48-836c-bc5946fc3b28}\\\\LocalServer32] 1\n@=\"x\"\n"
        << true;
    QTest::newRow("a longer sibling name") << head + "\n[Software\\\\Classes\\\\CLSID\\\\{B69003B3-C55E-4B48-836C-BC5946FC3B28}x]\n"
                                           << false;
    QTest::newRow("absent") << head + "\n[Software\\\\Classes\\\\CLSID]\n" << false;
    QTest::newRow("unknown header") << QByteArray("WINE REGISTRY Version 1\n\n[Software\\\\Classes\\\\CLSID\\\\{B69003B3-C55E-4B48-836C-BC5946FC3B28}]\n")
                                    << false;
}

void TestWineRegistryFile::hasKey()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, has);
    QCOMPARE(WineRegistryFile(content).hasKey(QStringLiteral("Software\\Classes\\CLSID\\{B69003B3-C55E-4B48-836C-BC5946FC3B28}")),
             has);
}

QTEST_APPLESS_MAIN(TestWineRegistryFile)
#include "tst_wineregistryfile.moc"
