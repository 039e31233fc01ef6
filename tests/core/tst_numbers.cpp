// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Numbers.h"
#include "core/Rating.h"

#include <QLocale>
#include <QTest>

#include <limits>

// Numbers as the program reads and writes them, and the rating of a test.
class TestNumbers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    // Read the same in every locale: the user's is German here.
    void leadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("blanks between digits") << " 18 63" << 1863.0;
        QTest::newRow("trailing letters") << "1863x" << 1863.0;
        QTest::newRow("no number") << "abc" << 0.0;
        QTest::newRow("sign, fraction without zero, exponent") << "-.5e-1" << -0.05;
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
    }

    // Digits, sign and exponent stay ASCII everywhere; only the decimal
    // separator follows the user's locale. Swedish has a minus sign of its
    // own, Egyptian Arabic digits and a decimal separator of its own.
    void numberText_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        const QString arabicPoint = QLocale(QStringLiteral("ar_EG")).decimalPoint();
        QTest::newRow("whole, Swedish") << "sv_SE" << 18630.0 << "18630";
        QTest::newRow("negative fraction, Swedish") << "sv_SE" << -0.25 << "-0,25";
        QTest::newRow("negative fraction, Arabic") << "ar_EG" << -0.25 << "-0" + arabicPoint + "25";
        QTest::newRow("16 digits") << "C" << 1e16 << "1E+16";
        QTest::newRow("tiny, Arabic") << "ar_EG" << 1e-20 << "1E-20";
        QTest::newRow("largest, Swedish") << "sv_SE" << std::numeric_limits<double>::max() << "1,79769313486231E+308";
    }

    void numberText()
    {
        QFETCH(QString, locale);
        QFETCH(double, value);
        QFETCH(QString, expected);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(::numberText(value), expected);
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
