// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ServerList.h"
#include "core/ServerListModel.h"

#include <QAbstractItemModelTester>
#include <QTest>

namespace {

// A row's cells as the list shows them, joined by '|'.
QString cells(const ServerListModel &model, int row)
{
    QStringList texts;
    for (int column = 0; column < ServerListModel::ColumnCount; ++column)
        texts.append(model.index(row, column).data().toString());
    return texts.join(QLatin1Char('|'));
}

} // namespace

// The server list file, the current server's marks and what is composed
// from a row.
class TestServerList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parse_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QStringList>("rows");
        const QString marker = QStringLiteral("(Currently Using)");
        QTest::newRow("records end in CR LF, not LF or CR alone")
            << QByteArray("a;1;2\nb;3;4\rx\r\nc;10.0.0.1;1863") << QString() << QStringList{"a|1|2|"};
        QTest::newRow("empty line, two fields, extra fields")
            << QByteArray("\r\n;10.0.0.2\r\nh;i;7;x;y\r\n") << QString()
            << QStringList{"|||", "(Unknown host)|10.0.0.2||", "h|i|7|"};
        QTest::newRow("ports read as numbers") << QByteArray("a;i; 18 63\r\nc;i;abc\r\nd;i;\r\n") << QString()
                                               << QStringList{"a|i|1863|", "c|i|0|", "d|i|0|"};
        QTest::newRow("Windows-1252") << QByteArray("caf\xE9\x80\x9F\xA0;\x81;1\r\n") << QString()
                                      << QStringList{QString::fromUtf8("caf\u00E9\u20AC\u0178\u00A0|\u0081|1|")};
        // The current server: host and IP compared lower-cased, ports as numbers.
        QTest::newRow("no host matches only the hostless record")
            << QByteArray(";10.0.0.1;1863\r\nmyhost;10.0.0.1;1863\r\n") << "10.0.0.1:1863"
            << QStringList{"(Unknown host)|10.0.0.1|1863|" + marker, "myhost|10.0.0.1|1863|"};
        QTest::newRow("case and leading zero")
            << QByteArray("myhost;ip.a;01863\r\nmyhost;ip.a;1864\r\nmyhost;ip.b;1863\r\n") << "MyHost;IP.A:1863"
            << QStringList{"myhost|ip.a|1863|" + marker, "myhost|ip.a|1864|", "myhost|ip.b|1863|"};
        QTest::newRow("listed twice, ';' before the port, extra part")
            << QByteArray("h;i;1\r\nH;I;1\r\n") << "h;i;1;extra" << QStringList{"h|i|1|" + marker, "H|I|1|" + marker};
        QTest::newRow("(unknown host) inside a host name") << QByteArray("myhost(Unknown Host);i;1\r\n") << "myhost;i:1"
                                                           << QStringList{"myhost(Unknown Host)|i|1|" + marker};
        QTest::newRow("incomplete setting") << QByteArray("h;i;1\r\n") << "h" << QStringList{"h|i|1|"};
        QTest::newRow("record of two fields never matches")
            << QByteArray(";i\r\n") << "i:0" << QStringList{"(Unknown host)|i||"};
        // A huge field is shown shortened; one of the limit's length is shown whole.
        const QByteArray host(2 * 1024 * 1024, 'h');
        const QByteArray longestShownWhole(ServerListModel::DisplayLimit, 'i');
        QTest::newRow("long fields") << host + ";" + longestShownWhole + ";1\r\n"
                                     << QString()
                                     << QStringList{host.left(ServerListModel::DisplayLimit - 3) + "...|"
                                                    + longestShownWhole + "|1|"};
    }

    void parse()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, setting);
        QFETCH(QStringList, rows);
        ServerListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setList(ServerList::parse(file, parseCurrentServer(setting)));
        QStringList shown;
        for (int row = 0; row < model.rowCount(); ++row)
            shown.append(cells(model, row));
        QCOMPARE(shown, rows);
    }

    // What a switch writes for a row without a host; the rows above read it
    // back. With a host: the Test List window's switch.
    void compose() { QCOMPARE(composeServerSetting("(UNKNOWN host)", "10.0.0.1", 1863), "10.0.0.1:1863"); }
};

QTEST_GUILESS_MAIN(TestServerList)
#include "tst_serverlist.moc"
