// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/IniFile.h"
#include "core/RegistryFile.h"
#include "core/WineRegistryFile.h"

#include <QStringEncoder>
#include <QTest>

namespace {

// A Wine prefix's user.reg, in pieces.
const QString messengerKey = QStringLiteral("Software\\Microsoft\\MSNMessenger");
const QByteArray
    wineHeader = "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\User\\\\S-1\n\n#arch=win64\n";
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

// The text formats of the per-user stores: a registry export file, an INI
// file and a Wine prefix's user.reg, written as Wine writes it and read back
// as Wine reads it. A change rewrites one value and leaves every other byte
// as it was.
class TestRegistryFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Each row writes a text as the value Server, of key K in an export file
    // and of the Messenger key in a Wine prefix's user.reg (a file that starts
    // as one does), and reads it back. A refused write leaves the file as it was.
    void write_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("after"); // empty: refused
        const QByteArray head = "Windows Registry Editor Version 5.00\r\n\r\n";
        const QByteArray other = "[HKEY_CURRENT_USER\\Other]\r\n\"Server\"=\"keep\"\r\n; comment\r\n";
        const QString text = QStringLiteral("a\\b\"c");
        const QByteArray written = "\"Server\"=\"a\\\\b\\\"c\"";
        const auto utf16 = [](const QByteArray &utf8) -> QByteArray {
            return QStringEncoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom)(QString::fromUtf8(utf8));
        };
        QTest::newRow("new file") << QByteArray() << text << head + "[K]\r\n" + written + "\r\n";
        QTest::newRow("replaced, other keys kept")
            << head + other + "[K]\r\n\"Server\"=\"old\"\r\n\"After\"=dword:1\r\n"
            << text << head + other + "[K]\r\n" + written + "\r\n\"After\"=dword:1\r\n";
        QTest::newRow("key and value names in other case, LF endings")
            << QByteArray("[k]\n\"server\"=\"old\"\n") << text << "[k]\n" + written + "\n";
        QTest::newRow("continued hex value replaced whole")
            << QByteArray("[K]\r\n\"Server\"=hex(2):31,00,\\\r\n  32,00,\\\r\n  00,00\r\n\"Next\"=\"n\"\r\n") << text
            << "[K]\r\n" + written + "\r\n\"Next\"=\"n\"\r\n";
        QTest::newRow("added after the key's last value, no final line break")
            << QByteArray("[K]\r\n\"A\"=\"1\"\r\n\r\n[L]\r\n\"B\"=\"2\"") << text
            << "[K]\r\n\"A\"=\"1\"\r\n" + written + "\r\n\r\n[L]\r\n\"B\"=\"2\"";
        QTest::newRow("UTF-16 export") << utf16(head + other + "[K]\r\n\"Server\"=\"\xC3\xBC\"\r\n") << text
                                       << utf16(head + other + "[K]\r\n" + written + "\r\n");
        // A line break in the value would start a line of its own.
        QTest::newRow("control character")
            << QByteArray("[K]\r\n\"Server\"=\"old\"\r\n") << QString("a\n[K2]") << QByteArray();
        QTest::newRow("Wine: escapes: non-ASCII with a hex digit after or not, outside the BMP; C and octal")
            << wineHeader + messengerSection + oldServer
            << QString("\u00e9a\u00e9g\u4e2d\U0001F600 a\\b\"c\a\b\t\n\v\f\r\x1b\x01"
                       "7\x01"
                       "8\x1f\x7f\u0080")
            << wineHeader + messengerSectionNow
                + "\"Server\"=\"\\x00e9a\\xe9g\\x4e2d\\xd83d\\xde00 "
                  "a\\\\b\\\"c\\a\\b\\t\\n\\v\\f\\r\\e\\0017\\18\\37\x7f\\x80\"\n";
        QTest::newRow("Wine: other case, no time, hex over two lines, CRLF")
            << wineHeader + "\n[software\\\\microsoft\\\\msnmessenger]\n\"SERVER\"=hex:01,\\\n  02\r\n" + valueZ
            << QString("n") << wineHeader + "\n[software\\\\microsoft\\\\msnmessenger]\n\"Server\"=\"n\"\r\n" + valueZ;
        QTest::newRow("Wine: repeated value: its last line")
            << wineHeader + messengerSection + oldServer + messengerSection + oldServer << QString("n")
            << wineHeader + messengerSection + oldServer + messengerSectionNow + newServer;
        QTest::newRow("Wine: add value in order")
            << wineHeader + messengerSection + valueA + valueZ + sectionAfter << QString("n")
            << wineHeader + messengerSectionNow + valueA + newServer + valueZ + sectionAfter;
        QTest::newRow("Wine: add key at the end") << wineHeader + sectionBefore.chopped(1) << QString("n")
                                                  << wineHeader + sectionBefore + messengerSectionNow + newServer;
        QTest::newRow("Wine: unknown header")
            << "WINE REGISTRY Version 3\n" + messengerSection + oldServer << QString("n") << QByteArray();
        QTest::newRow("Wine: unknown architecture")
            << QByteArray(wineHeader).replace("win64", "win128") << QString("n") << QByteArray();
    }

    void write()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, text);
        QFETCH(QByteArray, after);
        const bool wine = before.startsWith("WINE");
        const QDateTime now = QDateTime::fromSecsSinceEpoch(1796596918, Qt::UTC);
        WineRegistryFile wineFile(before);
        RegistryFile file(before);
        QString error;
        const bool written = wine ? wineFile.setText(messengerKey, "Server", text, now, &error)
                                  : file.write("K", "Server", text, &error);
        QCOMPARE(written, !after.isEmpty());
        QVERIFY(wine || !file.write("K", "Ser\rver", "v", &error)); // nor in the value's name
        QCOMPARE(wine ? wineFile.content() : file.content(), after.isEmpty() ? before : after);
        RegistryValue read;
        if (written) {
            QVERIFY2(wine ? WineRegistryFile(after).read(messengerKey, "Server", &read, &error)
                          : RegistryFile(after).read("K", "Server", &read, &error),
                     qPrintable(error));
            QCOMPARE(read.text, text);
        }
    }

    // A value that cannot be read says whether it is missing or of a kind that
    // is read. The last row holds escapes that no write produces, as Wine reads
    // them: a backslash before any character that starts no escape stands for
    // that character, a non-ASCII letter too (U+016E would read as "\\n" if
    // only its low byte were looked at), and "\\x" without hex digits for "x".
    void read_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("read"); // the value, or the error
        const QString missing = "The registry value \"server\" of key \"k\" does not exist.";
        const QString unread = "The registry value \"server\" of key \"k\" is neither a text nor a number.";
        QTest::newRow("text, escaped") << QByteArray("[K]\n\"Server\" = \"a;\\\\b\\\":1\"\n") << "a;\\b\":1";
        QTest::newRow("number") << QByteArray("[K]\n\"Server\"=dword:0000075f\n") << "1887";
        QTest::newRow("number of nine digits") << QByteArray("[K]\n\"Server\"=dword:00000075f\n") << unread;
        QTest::newRow("last assignment wins") << QByteArray("[K]\n\"Server\"=\"1\"\n[K]\n\"Server\"=\"2\"\n") << "2";
        QTest::newRow("deleted") << QByteArray("[K]\n\"Server\"=-\n") << missing;
        const QByteArray wineEscapes = "[K]\n\"Server\"=\"\\\xc3\xa9t\\\xe4\xb8\xad\\\xc5\xae\\xyz\\.b\"\n";
        QTest::newRow("Wine's escapes") << wineHeader + wineEscapes << QString("\u00e9t\u4e2d\u016exyz.b");
    }

    void read()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, read);
        RegistryValue value;
        QString error;
        // A file that starts as a prefix's user.reg does is read as Wine reads it.
        const bool ok = file.startsWith("WINE") ? WineRegistryFile(file).read("k", "server", &value, &error)
                                                : RegistryFile(file).read("k", "server", &value, &error);
        QCOMPARE(ok ? value.toText() : error, read);
    }

    void iniFile_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("read"); // "!" when there is no value
        QTest::addColumn<QByteArray>("after"); // empty when the write is refused
        QTest::newRow("none") << QByteArray() << "!" << QByteArray("[Main]\nOpened=7\n");
        QTest::newRow("a comma is text, not a list") << QByteArray("[Main]\r\nOpened=5,6\r\nOther=x\r\n") << "5,6"
                                                     << QByteArray("[Main]\r\nOpened=7\r\nOther=x\r\n");
        QTest::newRow("quoted") << QByteArray("[General]\nA=1\n\n[Main]\nOpened=\"2\"\n") << "2"
                                << QByteArray("[General]\nA=1\n\n[Main]\nOpened=7\n");
        QTest::newRow("unparseable file kept") << QByteArray("[Main]\nOpened=3\n\x01garbage\n") << "!" << QByteArray();
    }

    void iniFile()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, read);
        QFETCH(QByteArray, after);
        IniFile file(before);
        QCOMPARE(file.value("Main", "Opened").value_or("!"), read);
        QCOMPARE(file.setValue("Main", "Opened", "7"), !after.isEmpty());
        QCOMPARE(file.content(), after.isEmpty() ? before : after);
    }
};

QTEST_GUILESS_MAIN(TestRegistryFile)
#include "tst_registryfile.moc"
