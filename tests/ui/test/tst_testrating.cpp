#include "ui/test/TestRating.h"
#include "ui/test/frmTest.h"

#include <QLocale>
#include <QTest>

class TestTestRating : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QLocale::setDefault(QLocale::c()); }

    void formatNr_data()
    {
        QTest::addColumn<double>("number");
        QTest::addColumn<double>("expected");
        QTest::newRow("0.29 loses its last hundredth") << 0.29 << 0.28;
        QTest::newRow("negative goes down") << -0.001 << -0.01;
        QTest::newRow("0.999 is cut, not rounded") << 0.999 << 0.99;
        QTest::newRow("worked example connection") << 0.4567 << 0.45;
        QTest::newRow("worked example response") << 0.123 << 0.12;
        QTest::newRow("sum just above 0.3") << 0.1 + 0.2 << 0.3;
        QTest::newRow("zero") << 0.0 << 0.0;
        QTest::newRow("below a hundredth") << 0.0099 << 0.0;
        QTest::newRow("whole seconds") << 2.0 << 2.0;
        QTest::newRow("large") << 86399.999 << 86399.99;
    }
    void formatNr()
    {
        QFETCH(double, number);
        QFETCH(double, expected);
        QCOMPARE(FormatNr(number), expected);
        QCOMPARE(frmTest::FormatNr(number), expected); // the dialog's own
    }

    void rating_data()
    {
        QTest::addColumn<double>("connection");
        QTest::addColumn<double>("response");
        QTest::addColumn<float>("sngConnection");
        QTest::addColumn<float>("sngResponse");
        QTest::addColumn<float>("sngScore");
        QTest::addColumn<QString>("strRating");
        // Single precision: 0.1f + 0.2f is exactly the threshold 0.3f.
        QTest::newRow("0.2 and 0.2 meet the first bound") << 0.2 << 0.2 << 0.2f << 0.2f << 0.3f << "Very good";
        QTest::newRow("response 0.3") << 0.0 << 0.3 << 0.0f << 0.3f << 0.3f << "Very good";
        QTest::newRow("response 0.31") << 0.0 << 0.31 << 0.0f << 0.31f << 0.31f << "Good";
        QTest::newRow("response 0.5") << 0.0 << 0.5 << 0.0f << 0.5f << 0.5f << "Good";
        QTest::newRow("response 0.51") << 0.0 << 0.51 << 0.0f << 0.51f << 0.51f << "Normal";
        QTest::newRow("response 1") << 0.0 << 1.0 << 0.0f << 1.0f << 1.0f << "Normal";
        QTest::newRow("response 1.01") << 0.0 << 1.01 << 0.0f << 1.01f << 1.01f << "Poor";
        QTest::newRow("response 1.5") << 0.0 << 1.5 << 0.0f << 1.5f << 1.5f << "Poor";
        QTest::newRow("response 1.51") << 0.0 << 1.51 << 0.0f << 1.51f << 1.51f << "Bad";
        QTest::newRow("connection weighs half") << 1.0 << 1.0 << 1.0f << 1.0f << 1.5f << "Poor";
        QTest::newRow("connection 1, response 0.5") << 1.0 << 0.5 << 1.0f << 0.5f << 1.0f << "Normal";
        QTest::newRow("worked example") << 0.4567 << 0.123 << 0.45f << 0.12f << 0.345f << "Good";
        QTest::newRow("0.29 cut before rating") << 0.0 << 0.29 << 0.0f << 0.28f << 0.28f << "Very good";
        QTest::newRow("long connection alone") << 3.02 << 0.0 << 3.02f << 0.0f << 1.51f << "Bad";
    }
    void rating()
    {
        QFETCH(double, connection);
        QFETCH(double, response);
        QFETCH(float, sngConnection);
        QFETCH(float, sngResponse);
        QFETCH(float, sngScore);
        QFETCH(QString, strRating);
        const TestRating result = rateTest(connection, response);
        // Exact comparisons: the values are floored and stored in single precision.
        QCOMPARE(result.sngConnection, sngConnection);
        QCOMPARE(result.sngResponse, sngResponse);
        QCOMPARE(result.sngScore, sngScore);
        QCOMPARE(result.strRating, strRating);
    }

    // The exact report, its numbers in the user's notation.
    void reportText_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<double>("connection");
        QTest::addColumn<double>("response");
        QTest::addColumn<QStringList>("shown"); // connection, response, rating
        QTest::newRow("worked example") << "C" << 0.4567 << 0.123 << QStringList{"0.45", "0.12", "Good"};
        QTest::newRow("zero prints 0") << "C" << 0.0 << 0.0 << QStringList{"0", "0", "Very good"};
        QTest::newRow("half prints 0.5") << "C" << 0.5 << 0.5 << QStringList{"0.5", "0.5", "Normal"};
        QTest::newRow("whole seconds") << "C" << 2.0 << 1.25 << QStringList{"2", "1.25", "Bad"};
        QTest::newRow("decimal comma") << "de_DE" << 0.4567 << 0.123 << QStringList{"0,45", "0,12", "Good"};
    }
    void reportText()
    {
        QFETCH(QString, locale);
        QFETCH(double, connection);
        QFETCH(double, response);
        QFETCH(QStringList, shown);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(testReportText(rateTest(connection, response)),
                 QStringLiteral("Server test finished!\r\n====================\r\nConnection time: %1 seconds\r\n"
                                "Response time: %2 seconds.\r\nRating: %3")
                     .arg(shown[0], shown[1], shown[2]));
    }
};

QTEST_GUILESS_MAIN(TestTestRating)
#include "tst_testrating.moc"
