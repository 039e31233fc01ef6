// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Numbers.h"
#include "core/ServerList.h"
#include "core/ServerListModel.h"

#include <QAbstractItemModelTester>
#include <QLocale>
#include <QTest>

#include <limits>

// The server list file, the current server's marks, what is composed from a
// row, and the numbers of its port fields.
class TestServerList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

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
        QTest::newRow("ports read as numbers") << QByteArray("a;i;\t18 63\r\nc;i;abc\r\nd;i;\r\n") << QString()
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
        // Huge fields are shown shortened; one of the limit's length is shown whole.
        const QByteArray huge(2 * 1024 * 1024, 'h');
        const QByteArray longestShownWhole(ServerListModel::DisplayLimit, 'w');
        const QString shortened = huge.left(ServerListModel::DisplayLimit - 3) + "...";
        const QByteArray records = huge + ";" + huge + ";1\r\n" + longestShownWhole + "\r\n";
        QTest::newRow("long fields") << records << QString()
                                     << QStringList{shortened + "|" + shortened + "|1|", longestShownWhole + "|||"};
    }

    void parse()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, setting);
        QFETCH(QStringList, rows);
        ServerListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setList(ServerList::parse(file, parseCurrentServer(setting)));
        QStringList shown; // a row's cells as the list shows them, joined by '|'
        for (int row = 0; row < model.rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < ServerListModel::ColumnCount; ++column)
                cells.append(model.index(row, column).data().toString());
            shown.append(cells.join(QLatin1Char('|')));
        }
        QCOMPARE(shown, rows);
    }

    // What a switch writes for a row without a host; the rows above read it
    // back. With a host: the Test List window's switch.
    void compose() { QCOMPARE(composeServerSetting("(UNKNOWN host)", "10.0.0.1", 1863), "10.0.0.1:1863"); }

    // A number as a port field reads and as it is shown. It reads the same
    // in every locale; its digits, sign and exponent show in ASCII everywhere
    // and only the decimal separator follows the user's locale. Swedish has a
    // minus sign and a decimal comma of its own, Egyptian Arabic digits and a
    // decimal separator of its own.
    void readAndShown_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("number");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char *name, QString locale, QString text, double number, QString shown) {
            QTest::newRow(name) << locale << text << number << shown;
        };
        const QString arabicPoint = QLocale(QStringLiteral("ar_EG")).decimalPoint();
        row("sign, fraction without zero, exponent", "sv_SE", "-.5e-1", -0.05, "-0,05");
        row("exponent without digits", "C", "1e", 1.0, "1");
        row("comma is no decimal point", "sv_SE", "2,5", 2.0, "2");
        row("non-ASCII digits stop", "ar_EG", QString::fromUtf8("1\u0663"), 1.0, "1");
        row("beyond double range", "C", "1e400", 0.0, "0");
        row("16 digits", "C", "1e15", 1e15, "1E+15");
        row("negative fraction, Arabic", "ar_EG", "-0.25", -0.25, "-0" + arabicPoint + "25");
        row("largest, Swedish", "sv_SE", "1.7976931348623157e308", std::numeric_limits<double>::max(),
            "1,79769313486231E+308");
    }

    void readAndShown()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(double, number);
        QFETCH(QString, shown);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(::leadingNumber(text), number);
        QCOMPARE(::numberText(number), shown);
    }
};

QTEST_GUILESS_MAIN(TestServerList)
#include "tst_serverlist.moc"
