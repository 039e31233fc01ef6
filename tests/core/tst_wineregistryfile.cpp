// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/WineRegistryFile.h"

#include <QTest>

namespace {

const QString messengerKey = QStringLiteral("Software\\Microsoft\\MSNMessenger");
const QByteArray header = "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\User\\\\S-1\n\n#arch=win64\n";
const QByteArray messengerSection = "\n[Software\\\\Microsoft\\\\MSNMessenger] 1700000000\n#time=1da1a1a1a1a1a1a\n";
// The same section once touched at the test's now (1796596918 s, FILETIME 1dd85d3 00437f00: the low
// word has a leading zero).
const QByteArray messengerSectionNow = "\n[Software\\\\Microsoft\\\\MSNMessenger] 1796596918\n#time=1dd85d300437f00\n";
const QByteArray sectionBefore = "\n[Software\\\\Classes] 1600000000\n#time=1d000000000000\n\"A\"=\"a\"\n";
const QByteArray sectionAfter = "\n[System] 1600000000\n#time=1d000000000000\n\"Z\"=dword:00000001\n";
const QByteArray valueA = "\"A\"=\"1\"\n";
const QByteArray valueZ = "\"Z\"=\"2\"\n";
const QByteArray oldServer = "\"Server\"=\"o\"\n";
const QByteArray newServer = "\"Server\"=\"n\"\n";

} // namespace

// A prefix's user.reg: written as Wine writes it, read back as Wine reads it.
class TestWineRegistryFile : public QObject
{
    Q_OBJECT

private slots:
    void setText_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("after"); // empty: refused, the file left as it was
        QTest::newRow("escapes: non-ASCII with a hex digit after or not, outside the BMP; C and octal")
            << header + messengerSection + oldServer
            << QString("\u00e9a\u00e9g\u4e2d\U0001F600 a\\b\"c\a\b\t\n\v\f\r\x1b\x01"
                       "7\x01"
                       "8\x1f\x7f\u0080")
            << header + messengerSectionNow
                + "\"Server\"=\"\\x00e9a\\xe9g\\x4e2d\\xd83d\\xde00 "
                  "a\\\\b\\\"c\\a\\b\\t\\n\\v\\f\\r\\e\\0017\\18\\37\x7f\\x80\"\n";
        QTest::newRow("replace, rest kept")
            << header + sectionBefore + messengerSection + valueA + oldServer + valueZ + sectionAfter << QString("n")
            << header + sectionBefore + messengerSectionNow + valueA + newServer + valueZ + sectionAfter;
        QTest::newRow("other case, no time, hex over two lines, CRLF")
            << header + "\n[software\\\\microsoft\\\\msnmessenger]\n\"SERVER\"=hex:01,\\\n  02\r\n" + valueZ
            << QString("n") << header + "\n[software\\\\microsoft\\\\msnmessenger]\n\"Server\"=\"n\"\r\n" + valueZ;
        QTest::newRow("repeated value: its last line") << header + messengerSection + oldServer + messengerSection
                + oldServer << QString("n") << header + messengerSection + oldServer + messengerSectionNow + newServer;
        QTest::newRow("add value in order")
            << header + messengerSection + valueA + valueZ + sectionAfter << QString("n")
            << header + messengerSectionNow + valueA + newServer + valueZ + sectionAfter;
        QTest::newRow("add key at the end") << header + sectionBefore.chopped(1) << QString("n")
                                            << header + sectionBefore + messengerSectionNow + newServer;
        QTest::newRow("unknown header") << "WINE REGISTRY Version 3\n" + messengerSection + oldServer << QString("n")
                                        << QByteArray();
        QTest::newRow("unknown architecture")
            << QByteArray(header).replace("win64", "win128") << QString("n") << QByteArray();
    }
    void setText()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, text);
        QFETCH(QByteArray, after);
        const QDateTime now = QDateTime::fromSecsSinceEpoch(1796596918, Qt::UTC);
        WineRegistryFile file(before);
        QString error;
        QCOMPARE(file.setText(messengerKey, "Server", text, now, &error), !after.isEmpty());
        QCOMPARE(file.content(), after.isEmpty() ? before : after);
        if (after.isEmpty())
            return;
        RegistryValue read;
        QVERIFY2(WineRegistryFile(after).read(messengerKey, "Server", &read, &error), qPrintable(error));
        QCOMPARE(read.text, text);
    }

    // Escapes that no write produces, as Wine reads them: a backslash before
    // any character that starts no escape stands for that character, a
    // non-ASCII letter too (U+016E would read as "\\n" if only its low byte
    // were looked at), and "\\x" without hex digits for "x".
    void read()
    {
        const WineRegistryFile file(header + messengerSection
                                    + "\"Server\"=\"\\\xc3\xa9t\\\xe4\xb8\xad\\\xc5\xae\\xyz\\.b\"\n");
        RegistryValue read;
        QString error;
        QVERIFY2(file.read(messengerKey, "Server", &read, &error), qPrintable(error));
        QCOMPARE(read.text, QString("\u00e9t\u4e2d\u016exyz.b"));
    }
};

QTEST_APPLESS_MAIN(TestWineRegistryFile)
#include "tst_wineregistryfile.moc"
