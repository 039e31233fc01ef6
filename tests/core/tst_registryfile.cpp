// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/IniFile.h"
#include "core/RegistryFile.h"

#include <QTest>

namespace {

QByteArray utf16(const QByteArray &utf8)
{
    const QString text = QString::fromUtf8(utf8);
    return QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
}

} // namespace

// The text formats of the per-user stores: a registry export file and an INI
// file. A change rewrites one value and leaves every other byte as it was.
class TestRegistryFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Each row writes a\b"c as the value Server of key K.
    void write_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        const QByteArray head = "Windows Registry Editor Version 5.00\r\n\r\n";
        const QByteArray other = "[HKEY_CURRENT_USER\\Other]\r\n\"Server\"=\"keep\"\r\n; comment\r\n";
        const QByteArray written = "\"Server\"=\"a\\\\b\\\"c\"";
        QTest::newRow("new file") << QByteArray() << head + "[K]\r\n" + written + "\r\n";
        QTest::newRow("replaced, other keys kept")
            << head + other + "[K]\r\n\"Server\"=\"old\"\r\n\"After\"=dword:1\r\n"
            << head + other + "[K]\r\n" + written + "\r\n\"After\"=dword:1\r\n";
        QTest::newRow("key and value names in other case, LF endings")
            << QByteArray("[k]\n\"server\"=\"old\"\n") << "[k]\n" + written + "\n";
        QTest::newRow("continued hex value replaced whole")
            << QByteArray("[K]\r\n\"Server\"=hex(2):31,00,\\\r\n  32,00,\\\r\n  00,00\r\n\"Next\"=\"n\"\r\n")
            << "[K]\r\n" + written + "\r\n\"Next\"=\"n\"\r\n";
        QTest::newRow("added after the key's last value, no final line break")
            << QByteArray("[K]\r\n\"A\"=\"1\"\r\n\r\n[L]\r\n\"B\"=\"2\"")
            << "[K]\r\n\"A\"=\"1\"\r\n" + written + "\r\n\r\n[L]\r\n\"B\"=\"2\"";
        QTest::newRow("UTF-16 export") << utf16(head + other + "[K]\r\n\"Server\"=\"\xC3\xBC\"\r\n")
                                       << utf16(head + other + "[K]\r\n" + written + "\r\n");
    }

    void write()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        RegistryFile file(before);
        QString error;
        QVERIFY2(file.write(QStringLiteral("K"), QStringLiteral("Server"), QStringLiteral("a\\b\"c"), &error),
                 qPrintable(error));
        QCOMPARE(file.content(), after);
    }

    // A line break in the value or the name would start a line of its own.
    void refusesControlCharacters()
    {
        const QByteArray before = "[K]\r\n\"Server\"=\"old\"\r\n";
        RegistryFile file(before);
        QString error;
        QVERIFY(!file.write(QStringLiteral("K"), QStringLiteral("Server"), QStringLiteral("a\n[K2]"), &error));
        QVERIFY(error.contains("control character"));
        QVERIFY(!file.write(QStringLiteral("K"), QStringLiteral("Ser\rver"), QStringLiteral("v"), &error));
        QCOMPARE(file.content(), before);
    }

    // A value that cannot be read says whether it is missing or of a kind that is read.
    void read_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("read"); // the value, or the error
        const QString missing = QStringLiteral("The registry value \"server\" of key \"k\" does not exist.");
        const QString unread = QStringLiteral(
            "The registry value \"server\" of key \"k\" is neither a text nor a number.");
        QTest::newRow("text, escaped") << QByteArray("[K]\n\"Server\" = \"a;\\\\b\\\":1\"\n") << "a;\\b\":1";
        QTest::newRow("number") << QByteArray("[K]\n\"Server\"=dword:0000075f\n") << "1887";
        QTest::newRow("number of nine digits") << QByteArray("[K]\n\"Server\"=dword:00000075f\n") << unread;
        QTest::newRow("last assignment wins") << QByteArray("[K]\n\"Server\"=\"1\"\n[K]\n\"Server\"=\"2\"\n") << "2";
        QTest::newRow("deleted") << QByteArray("[K]\n\"Server\"=-\n") << missing;
    }

    void read()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, read);
        RegistryValue value;
        QString error;
        const bool ok = RegistryFile(file).read(QStringLiteral("k"), QStringLiteral("server"), &value, &error);
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
        QCOMPARE(file.value(QStringLiteral("Main"), QStringLiteral("Opened")).value_or(QStringLiteral("!")), read);
        QCOMPARE(file.setValue(QStringLiteral("Main"), QStringLiteral("Opened"), QStringLiteral("7")),
                 !after.isEmpty());
        QCOMPARE(file.content(), after.isEmpty() ? before : after);
    }
};

QTEST_GUILESS_MAIN(TestRegistryFile)
#include "tst_registryfile.moc"
