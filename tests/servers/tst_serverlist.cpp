#include "servers/ServerList.h"
#include "servers/ServerListModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

using Rows = QVector<ServerEntry>;
Q_DECLARE_METATYPE(ServerEntry)

namespace QTest {
template<>
char *toString(const ServerEntry &entry)
{
    return qstrdup(QStringLiteral("[%1|%2|%3|%4]").arg(entry.host, entry.ip, entry.port, entry.status).toUtf8().constData());
}
} // namespace QTest

class TestServerList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Rows>("rows");
        const ServerEntry a{QStringLiteral("myhost"), QStringLiteral("10.0.0.1"), QStringLiteral("1863"), QString()};
        QTest::newRow("empty") << "" << Rows{};
        QTest::newRow("three records") << "a;1;1\r\nb;2;2\r\nc;3;3\r\n"
                                       << Rows{{"a", "1", "1", ""}, {"b", "2", "2", ""}, {"c", "3", "3", ""}};
        QTest::newRow("last line without CR LF is ignored") << "myhost;10.0.0.1;1863\r\nb;2;2" << Rows{a};
        QTest::newRow("LF alone separates nothing") << "a;1;1\nb;2;2\n" << Rows{};
        QTest::newRow("lone CR stays in the field") << "a\rb;1;1\r\n" << Rows{{"a\rb", "1", "1", ""}};
        QTest::newRow("empty line counts") << "myhost;10.0.0.1;1863\r\n\r\nmyhost;10.0.0.1;1863\r\n"
                                           << Rows{a, ServerEntry{}, a};
        QTest::newRow("no host name") << ";10.0.0.2;1863\r\n" << Rows{{"(Unknown host)", "10.0.0.2", "1863", ""}};
        QTest::newRow("two fields leave the port empty") << "h;10.0.0.1\r\n" << Rows{{"h", "10.0.0.1", "", ""}};
        QTest::newRow("one field") << "h\r\n" << Rows{{"h", "", "", ""}};
        QTest::newRow("lone separator") << ";\r\n" << Rows{{"(Unknown host)", "", "", ""}};
        QTest::newRow("extra fields ignored") << "myhost;10.0.0.1;1863;x;y\r\n" << Rows{a};
        QTest::newRow("blanks in port") << "h;i; 18 63\r\n" << Rows{{"h", "i", "1863", ""}};
        QTest::newRow("letters after port") << "h;i;1863x\r\n" << Rows{{"h", "i", "1863", ""}};
        QTest::newRow("port without number") << "h;i;abc\r\n" << Rows{{"h", "i", "0", ""}};
        QTest::newRow("empty port") << "h;i;\r\n" << Rows{{"h", "i", "0", ""}};
        QTest::newRow("fields are not trimmed") << " h ; i ;1\r\n" << Rows{{" h ", " i ", "1", ""}};
        QTest::newRow("markup is kept as text") << "<b>x</b>;<img src=x>;1\r\n" << Rows{{"<b>x</b>", "<img src=x>", "1", ""}};
    }

    void parse()
    {
        QFETCH(QString, text);
        QFETCH(Rows, rows);
        QCOMPARE(parseServerList(text, std::nullopt), rows);
    }

    void marking_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QStringList>("statuses");
        const QString m = CurrentMarker;
        const QString list = QStringLiteral(";10.0.0.1;1863\r\nmyhost;10.0.0.1;01863\r\nmyhost;10.0.0.1;1863\r\nmyhost;10.0.0.1\r\n");
        QTest::newRow("no host name matches the unnamed row") << "10.0.0.1:1863" << QStringList{m, "", "", ""};
        QTest::newRow("host matches both listings, ports as numbers") << "MyHost;10.0.0.1:1863" << QStringList{"", m, m, ""};
        QTest::newRow("incomplete setting") << "10.0.0.1" << QStringList{"", "", "", ""};
        QTest::newRow("no setting") << "" << QStringList{"", "", "", ""};
    }

    void marking()
    {
        QFETCH(QString, setting);
        QFETCH(QStringList, statuses);
        const QString list = QStringLiteral(";10.0.0.1;1863\r\nmyhost;10.0.0.1;01863\r\nmyhost;10.0.0.1;1863\r\nmyhost;10.0.0.1\r\n");
        QStringList actual;
        for (const ServerEntry &row : parseServerList(list, parseCurrentServer(setting)))
            actual.append(row.status);
        QCOMPARE(actual, statuses);
    }

    void everyByteLoads()
    {
        QByteArray bytes;
        for (int value = 0; value < 256; ++value)
            bytes.append(char(value));
        const QString text = decodeServerListBytes(bytes);
        QCOMPARE(text.size(), 256);
        QCOMPARE(text.at(0), QChar(0));
        QCOMPARE(text.at(0x41), QLatin1Char('A'));
        QCOMPARE(text.at(0x80), QChar(0x20AC)); // euro sign in Windows-1252
        QCOMPARE(text.at(0x81), QChar(0x81));   // undefined in the page: kept
        QCOMPARE(text.at(0x9F), QChar(0x0178));
        QCOMPARE(text.at(0xE9), QChar(0xE9));
        // A record holding NUL and high bytes still parses.
        const Rows rows = parseServerList(decodeServerListBytes(QByteArray("a\0b;\x80;1\r\n", 10)), std::nullopt);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.at(0).host, QString(QStringLiteral("a") + QChar(0) + QStringLiteral("b")));
        QCOMPARE(rows.at(0).ip, QString(QChar(0x20AC)));
    }

    void largeFile()
    {
        QByteArray bytes;
        for (int i = 0; i < 100000; ++i)
            bytes += "host" + QByteArray::number(i) + ";10.0.0.1;1863\r\n";
        const Rows rows = parseServerList(decodeServerListBytes(bytes), std::nullopt);
        QCOMPARE(rows.size(), 100000);
        QCOMPARE(itemCountText(rows.size()), QStringLiteral("100000 items in database."));
        QCOMPARE(rows.last().host, QStringLiteral("host99999"));
    }

    void countText()
    {
        QCOMPARE(itemCountText(0), QStringLiteral("0 items in database."));
        QCOMPARE(itemCountText(1), QStringLiteral("1 items in database."));
    }

    void model()
    {
        ServerListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setRows(parseServerList(QStringLiteral("a;1;1\r\n;2;2\r\n"), std::nullopt));
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.columnCount(), 4);
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Host Name"));
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Host IP"));
        QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("Port"));
        QCOMPARE(model.headerData(3, Qt::Horizontal).toString(), QString());
        QCOMPARE(model.index(1, 0).data().toString(), QStringLiteral("(Unknown host)"));
        QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));

        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        model.setStatus(1, CurrentMarker);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(model.index(1, 3).data().toString(), CurrentMarker);
        model.setStatuses({QString(), QString()});
        QCOMPARE(model.statuses(), (QStringList{QString(), QString()}));
        model.setRows({});
        QCOMPARE(model.rowCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestServerList)
#include "tst_serverlist.moc"
