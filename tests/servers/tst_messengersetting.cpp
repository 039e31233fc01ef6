#include "servers/MessengerSetting.h"

#include <QTest>

class TestMessengerSetting : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parse_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<bool>("complete");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("ip");
        QTest::addColumn<QString>("port");
        QTest::newRow("host, ip and port") << "myhost;10.0.0.1:1863" << true << "myhost" << "10.0.0.1" << "1863";
        QTest::newRow("ip and port") << "10.0.0.1:1863" << true << "" << "10.0.0.1" << "1863";
        QTest::newRow("semicolon before port") << "myhost;10.0.0.1;1863" << true << "myhost" << "10.0.0.1" << "1863";
        QTest::newRow("extra part dropped") << "myhost;10.0.0.1:1863;extra" << true << "myhost" << "10.0.0.1" << "1863";
        QTest::newRow("host and port only") << "myhost:1863" << true << "" << "myhost" << "1863";
        QTest::newRow("empty") << "" << false << "" << "" << "";
        QTest::newRow("one part") << "10.0.0.1" << false << "" << "" << "";
        QTest::newRow("separators only") << ":" << true << "" << "" << "";
    }

    void parse()
    {
        QFETCH(QString, setting);
        QFETCH(bool, complete);
        const auto current = parseCurrentServer(setting);
        QCOMPARE(current.has_value(), complete);
        if (complete) {
            QTEST(current->host, "host");
            QTEST(current->ip, "ip");
            QTEST(current->port, "port");
        }
    }

    void match_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<bool>("matches");
        QTest::newRow("unnamed setting, unnamed row") << "10.0.0.1:1863" << QStringList{"(Unknown host)", "10.0.0.1", "1863"} << true;
        QTest::newRow("unnamed setting, named row") << "10.0.0.1:1863" << QStringList{"myhost", "10.0.0.1", "1863"} << false;
        QTest::newRow("case and leading zeros") << "MyHost;10.0.0.1:1863" << QStringList{"myhost", "10.0.0.1", "01863"} << true;
        QTest::newRow("ip compared lower-cased") << "h;Server.Example:1" << QStringList{"h", "server.example", "1"} << true;
        QTest::newRow("marker text removed from host") << "myhost;10.0.0.1:1863" << QStringList{"myhost(unknown host)", "10.0.0.1", "1863"} << true;
        QTest::newRow("marker text in capitals") << "10.0.0.1:1863" << QStringList{"(UNKNOWN HOST)", "10.0.0.1", "1863"} << true;
        QTest::newRow("other port") << "h;10.0.0.1:1863" << QStringList{"h", "10.0.0.1", "1864"} << false;
        QTest::newRow("port without number matches 0") << "h;10.0.0.1:x" << QStringList{"h", "10.0.0.1", "0"} << true;
        QTest::newRow("two fields never match") << "h;10.0.0.1:0" << QStringList{"h", "10.0.0.1"} << false;
        QTest::newRow("incomplete setting") << "10.0.0.1" << QStringList{"", "10.0.0.1", "1863"} << false;
        QTest::newRow("host and port setting") << "myhost:1863" << QStringList{"(Unknown host)", "myhost", "1863"} << true;
    }

    void match()
    {
        QFETCH(QString, setting);
        QFETCH(QStringList, fields);
        QFETCH(bool, matches);
        QCOMPARE(matchesCurrentServer(fields, parseCurrentServer(setting)), matches);
    }

    void compose_data()
    {
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QString>("value");
        QTest::newRow("named") << QStringList{"myhost", "10.0.0.1", "1863"} << "myhost;10.0.0.1:1863";
        QTest::newRow("unnamed") << QStringList{"(Unknown host)", "10.0.0.1", "1863"} << "10.0.0.1:1863";
        QTest::newRow("unnamed in capitals") << QStringList{"(UNKNOWN HOST)", "10.0.0.1", "1863"} << "10.0.0.1:1863";
        QTest::newRow("leading zero") << QStringList{"h", "10.0.0.1", "01863"} << "h;10.0.0.1:1863";
        QTest::newRow("empty port") << QStringList{"(Unknown host)", "10.0.0.1", ""} << "10.0.0.1:0";
        QTest::newRow("port without number") << QStringList{"(Unknown host)", "10.0.0.1", "abc"} << "10.0.0.1:0";
        QTest::newRow("empty host cell") << QStringList{"", "10.0.0.1", "1"} << ";10.0.0.1:1";
    }

    void compose()
    {
        QFETCH(QStringList, cells);
        QFETCH(QString, value);
        QCOMPARE(composeServerSetting(cells.at(0), cells.at(1), cells.at(2)), value);
    }

    // A composed value marks the row it came from at the next start.
    void composedValueMatchesItsRow_data()
    {
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("named") << QStringList{"MyHost", "10.0.0.1", "1863"};
        QTest::newRow("unnamed") << QStringList{"(Unknown host)", "10.0.0.1", "01863"};
    }

    void composedValueMatchesItsRow()
    {
        QFETCH(QStringList, fields);
        const QString value = composeServerSetting(fields.at(0), fields.at(1), fields.at(2));
        QVERIFY(matchesCurrentServer(fields, parseCurrentServer(value)));
    }
};

QTEST_GUILESS_MAIN(TestMessengerSetting)
#include "tst_messengersetting.moc"
