#include "servers/Numbers.h"

#include <QLocale>
#include <QTest>

#include <limits>

class TestNumbers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void leadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("plain") << "1863" << 1863.0;
        QTest::newRow("blanks between digits") << " 18 63" << 1863.0;
        QTest::newRow("tab and line feed skipped") << "\t1\n2" << 12.0;
        QTest::newRow("trailing letters") << "1863x" << 1863.0;
        QTest::newRow("no number") << "abc" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("negative") << "-5" << -5.0;
        QTest::newRow("explicit plus") << "+7" << 7.0;
        QTest::newRow("fraction") << "2.5" << 2.5;
        QTest::newRow("no leading zero") << ".5" << 0.5;
        QTest::newRow("exponent") << "1e3" << 1000.0;
        QTest::newRow("exponent with sign") << "25E-1" << 2.5;
        QTest::newRow("exponent without digits") << "1e" << 1.0;
        QTest::newRow("exponent sign without digits") << "4e+x" << 4.0;
        QTest::newRow("second point stops") << "1.5.6" << 1.5;
        QTest::newRow("sign alone") << "-" << 0.0;
        QTest::newRow("point alone") << "." << 0.0;
        QTest::newRow("comma is no decimal point") << "2,5" << 2.0;
        QTest::newRow("carriage return stops") << "1\r2" << 1.0;
        QTest::newRow("non-ASCII digits stop") << QString::fromUtf8("1\u0663") << 1.0;
        QTest::newRow("leading zeros") << "01863" << 1863.0;
        QTest::newRow("beyond double range") << "1e400" << 0.0;
        QTest::newRow("tiny") << "1e-400" << 0.0;
    }

    void leadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(LeadingNumber(text), expected);
    }

    void leadingNumberIgnoresLocale()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(LeadingNumber(u"2.5"), 2.5);
        QCOMPARE(LeadingNumber(u"2,5"), 2.0);
    }

    void numberText_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        for (const char *name : {"C", "de_DE"}) {
            const bool comma = QByteArray(name) == "de_DE";
            const QString half = comma ? "0,5" : "0.5";
            QTest::addRow("%s integral", name) << name << 1863.0 << "1863";
            QTest::addRow("%s large integral", name) << name << 123456789012345.0 << "123456789012345";
            QTest::addRow("%s half", name) << name << 0.5 << half;
            QTest::addRow("%s negative quarter", name) << name << -0.25 << (comma ? "-0,25" : "-0.25");
            QTest::addRow("%s third", name) << name << 1.0 / 3.0 << (comma ? "0,333333333333333" : "0.333333333333333");
            QTest::addRow("%s zero", name) << name << 0.0 << "0";
            QTest::addRow("%s negative zero", name) << name << -0.0 << "0";
            QTest::addRow("%s 1e16", name) << name << 1e16 << "1E+16";
            QTest::addRow("%s tiny", name) << name << 1e-20 << "1E-20";
            QTest::addRow("%s largest double", name) << name << std::numeric_limits<double>::max()
                                                     << (comma ? "1,79769313486231E+308" : "1.79769313486231E+308");
            QTest::addRow("%s lowest double", name) << name << std::numeric_limits<double>::lowest()
                                                    << (comma ? "-1,79769313486231E+308" : "-1.79769313486231E+308");
        }
    }

    void numberText()
    {
        QFETCH(QString, locale);
        QFETCH(double, value);
        QFETCH(QString, expected);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(NumberText(value), expected);
    }

    void singleText_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("hundredths") << 0.28f << "0.28";
        QTest::newRow("half") << 0.5f << "0.5";
        QTest::newRow("zero") << 0.0f << "0";
        QTest::newRow("seven digits") << 1.0f / 3.0f << "0.3333333";
        QTest::newRow("integral") << 12.0f << "12";
    }

    void singleText()
    {
        QFETCH(float, value);
        QFETCH(QString, expected);
        QCOMPARE(SingleText(value), expected);
    }

    void counterRoundTrip_data()
    {
        QTest::addColumn<double>("value");
        QTest::newRow("count") << 42.0;
        QTest::newRow("fraction") << 3.5;
        QTest::newRow("large") << 1e16;
        QTest::newRow("negative") << -4.0;
        // Compared within QCOMPARE's relative tolerance: 15 digits are printed.
        QTest::newRow("largest double") << std::numeric_limits<double>::max();
        QTest::newRow("lowest double") << std::numeric_limits<double>::lowest();
    }

    // Whatever NumberText writes, LeadingNumber reads back (C locale).
    void counterRoundTrip()
    {
        QFETCH(double, value);
        QCOMPARE(LeadingNumber(NumberText(value)), value);
    }
};

QTEST_GUILESS_MAIN(TestNumbers)
#include "tst_numbers.moc"
