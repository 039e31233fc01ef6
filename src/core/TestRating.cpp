#include "TestRating.h"

#include "Numbers.h"

#include <QStringList>

#include <cmath>

double FormatNr(double dblNumber)
{
    return std::floor(dblNumber * 100.0) / 100.0;
}

TestRating rateTest(double connectionSeconds, double responseSeconds)
{
    TestRating rating;
    rating.sngConnection = float(FormatNr(connectionSeconds));
    rating.sngResponse = float(FormatNr(responseSeconds));
    rating.sngScore = rating.sngConnection / 2.0f + rating.sngResponse;

    // The bands include their upper bounds, compared in single precision.
    const float score = rating.sngScore;
    if (score <= 0.3f)
        rating.strRating = QStringLiteral("Very good");
    else if (score <= 0.5f)
        rating.strRating = QStringLiteral("Good");
    else if (score <= 1.0f)
        rating.strRating = QStringLiteral("Normal");
    else if (score <= 1.5f)
        rating.strRating = QStringLiteral("Poor");
    else
        rating.strRating = QStringLiteral("Bad");
    return rating;
}

QString testReportText(const TestRating &rating)
{
    return QStringList({
        QStringLiteral("Server test finished!"),
        QString(20, QLatin1Char('=')),
        QStringLiteral("Connection time: ") + SingleText(rating.sngConnection) + QStringLiteral(" seconds"),
        QStringLiteral("Response time: ") + SingleText(rating.sngResponse) + QStringLiteral(" seconds."),
        QStringLiteral("Rating: ") + rating.strRating,
    }).join(QStringLiteral("\r\n"));
}
