#include "core/WineRegistryFile.h"

#include <QTest>

static const QByteArray msn = "\n[Software\\\\Microsoft\\\\MSNMessenger] 1700000000\n#time=1da1a1a1a1a1a1a\n",
    head = "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\User\\\\S-1\n\n#arch=win64\n",
    msnNow = "\n[Software\\\\Microsoft\\\\MSNMessenger] 1796596793\n#time=1dd85d2b5c20280\n", // at setText's now
    before = "\n[Software\\\\Classes] 1600000000\n#time=1d000000000000\n\"A\"=\"a\"\n",
    after = "\n[System] 1600000000\n#time=1d000000000000\n\"Z\"=dword:00000001\n",
    a = "\"A\"=\"1\"\n", o = "\"Server\"=\"o\"\n", n = "\"Server\"=\"n\"\n", z = "\"Z\"=\"2\"\n";

class TestWineRegistryFile : public QObject
{
    Q_OBJECT

private slots:
    void setText_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("written"); // empty: refused, content unchanged
        const auto row = [](const char *name, const QByteArray &content, const QByteArray &written = {},
                            const QString &text = "n") { QTest::newRow(name) << content << text << written; };
        row("non-ASCII: hex digit after or not, outside the BMP", head + msn + o,
            head + msnNow + "\"Server\"=\"\\x00e9a\\xe9g\\x4e2d\\xd83d\\xde00\"\n", "\u00e9a\u00e9g\u4e2d\U0001F600");
        row("backslash, quote, C and octal escapes", head + msn + o,
            head + msnNow + "\"Server\"=\"a\\\\b\\\"c\\a\\b\\t\\n\\v\\f\\r\\e\\0017\\18\\37\"\n",
            "a\\b\"c\a\b\t\n\v\f\r\x1b\x01" "7\x01" "8\x1f");
        row("replace, rest kept", head + before + msn + a + o + z + after, head + before + msnNow + a + n + z + after);
        row("other case, no time, hex over two lines, CRLF",
            head + "\n[software\\\\microsoft\\\\msnmessenger]\n\"SERVER\"=hex:01,\\\n  02\r\n" + z,
            head + "\n[software\\\\microsoft\\\\msnmessenger]\n\"Server\"=\"n\"\r\n" + z);
        row("repeated value: its last line", head + msn + o + msn + o, head + msn + o + msnNow + n);
        row("add value in order", head + msn + a + z + after, head + msnNow + a + n + z + after);
        row("add value after the last", head + msn + a + after, head + msnNow + a + n + after);
        row("add key in order", head + before + after, head + before + msnNow + n + after);
        row("add key at the end", head + before.chopped(1), head + before + msnNow + n);
        row("unknown header", "WINE REGISTRY Version 3\n" + msn + o);
        row("unknown architecture", QByteArray(head).replace("win64", "win128"));
    }
    void setText() // written as Wine writes, read back as Wine reads
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, text);
        QFETCH(QByteArray, written);
        const QString key = QStringLiteral("Software\\Microsoft\\MSNMessenger"), server = QStringLiteral("Server");
        const QDateTime now = QDateTime::fromSecsSinceEpoch(1796596793, Qt::UTC); // FILETIME 1dd85d2b5c20280
        WineRegistryFile file(content);
        QString error;
        RegistryValue read;
        QCOMPARE(file.setText(key, server, text, now, &error), !written.isEmpty());
        QCOMPARE(file.content(), written.isEmpty() ? content : written);
        QVERIFY(written.isEmpty() || (WineRegistryFile(written).read(key, server, &read, &error) && read.text == text));
    }
};

QTEST_APPLESS_MAIN(TestWineRegistryFile)
#include "tst_wineregistryfile.moc"
