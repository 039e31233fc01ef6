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
        const auto row = [](const char *name, const char *locale, const QString &text, double number,
                            const QString &shown) {
            QTest::newRow(name) << QString(locale) << text << number << shown;
        };
        const QString arabicPoint = QLocale(QStringLiteral("ar_EG")).decimalPoint();
        row("sign, fraction without zero, exponent", "sv_SE", "-.5e-1", -0.05, "-0,05");
        row("exponent without digits", "C", "1e", 1.0, "1");
        row("comma is no decimal point", "sv_SE", "2,5", 2.0, "2");
        row("non-ASCII digits stop", "ar_EG", QString::fromUtf8("1\u0663"), 1.0, "1");
        row("beyond double range", "C", "1e400", 0.0, "0");
        row("16 digits", "C", "1e16", 1e16, "1E+16");
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
        QTest::newRow("1.5, half the connection time") << 3.0 << 0.0 << report("3", "0", "Poor");
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
