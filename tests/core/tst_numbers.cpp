#include "core/Numbers.h"
#include "core/Rating.h"

#include <QLocale>
#include <QTest>

#include <cmath>
#include <limits>

// Numbers as the program reads and writes them, and the rating of a test.
class TestNumbers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void leadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("blanks between digits") << " 18 63" << 1863.0;
        QTest::newRow("trailing letters") << "1863x" << 1863.0;
        QTest::newRow("no number") << "abc" << 0.0;
        QTest::newRow("fraction without zero") << ".5" << 0.5;
        QTest::newRow("exponent without digits") << "1e" << 1.0;
        QTest::newRow("comma is no decimal point") << "2,5" << 2.0;
        QTest::newRow("non-ASCII digits stop") << QString::fromUtf8("1\u0663") << 1.0;
        QTest::newRow("beyond double range") << "1e400" << 0.0;
    }

    void leadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QLocale::setDefault(QLocale(QLocale::German));
        QCOMPARE(::leadingNumber(text), expected);
        QCOMPARE(::leadingNumber(QLatin1StringView(text.toLatin1())), expected);
    }

    void numberText_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        // Digits, sign and exponent stay ASCII everywhere; only the decimal
        // separator follows the locale. Swedish writes a minus sign of its own,
        // Egyptian Arabic digits and a decimal separator of its own.
        for (const char *name : {"C", "sv_SE", "ar_EG"}) {
            const QString point = QLocale(QString::fromLatin1(name)).decimalPoint();
            QTest::addRow("%s integral", name) << name << 1863.0 << "1863";
            QTest::addRow("%s negative fraction", name) << name << -0.25 << "-0" + point + "25";
            QTest::addRow("%s 16 digits", name) << name << 1e16 << "1E+16";
            QTest::addRow("%s tiny", name) << name << 1e-20 << "1E-20";
            QTest::addRow("%s largest", name) << name << std::numeric_limits<double>::max()
                                              << "1" + point + "79769313486231E+308";
        }
    }

    void numberText()
    {
        QFETCH(QString, locale);
        QFETCH(double, value);
        QFETCH(QString, expected);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(::numberText(value), expected);
        // What the counter and a switch write reads back in every locale.
        if (value == std::trunc(value) && std::abs(value) < 1e15)
            QCOMPARE(::leadingNumber(::numberText(value)), value);
    }

    void rating_data()
    {
        QTest::addColumn<double>("connection");
        QTest::addColumn<double>("response");
        QTest::addColumn<QString>("report");
        const auto report = [](const char *connection, const char *response, const char *rating) {
            return QStringLiteral("Server test finished!\r\n====================\r\nConnection time: %1 seconds\r\n"
                                  "Response time: %2 seconds.\r\nRating: %3")
                .arg(QLatin1String(connection), QLatin1String(response), QLatin1String(rating));
        };
        // The bands include their upper bounds, compared in single precision.
        QTest::newRow("0.3 in single precision") << 0.2 << 0.2 << report("0.2", "0.2", "Very good");
        QTest::newRow("just above 0.3") << 0.0 << 0.31 << report("0", "0.31", "Good");
        QTest::newRow("1") << 1.0 << 0.5 << report("1", "0.5", "Normal");
        QTest::newRow("1.5") << 1.0 << 1.0 << report("1", "1", "Poor");
        QTest::newRow("above 1.5") << 0.0 << 1.51 << report("0", "1.51", "Bad");
        // Cut to hundredths toward minus infinity, in double precision.
        QTest::newRow("cut, not rounded") << 0.4567 << 0.999 << report("0.45", "0.99", "Poor");
        QTest::newRow("0.29 is 0.28") << 0.0 << 0.29 << report("0", "0.28", "Very good");
        QTest::newRow("negative goes down") << -0.001 << 0.0 << report("-0.01", "0", "Very good");
    }

    void rating()
    {
        QFETCH(double, connection);
        QFETCH(double, response);
        QFETCH(QString, report);
        QCOMPARE(testReportText(rateTest(connection, response)), report);
    }
};

QTEST_GUILESS_MAIN(TestNumbers)
#include "tst_numbers.moc"
