#include "Rating.h"

#include "Numbers.h"

#include <QStringList>

#include <cmath>

double truncateToHundredths(double value)
{
    return std::floor(value * 100.0) / 100.0;
}

Rating rateTest(double connectionSeconds, double responseSeconds)
{
    Rating rating;
    rating.connection = float(truncateToHundredths(connectionSeconds));
    rating.response = float(truncateToHundredths(responseSeconds));
    rating.score = rating.connection / 2.0f + rating.response;

    // The bands include their upper bounds, compared in single precision.
    const float score = rating.score;
    if (score <= 0.3f)
        rating.band = 0;
    else if (score <= 0.5f)
        rating.band = 1;
    else if (score <= 1.0f)
        rating.band = 2;
    else if (score <= 1.5f)
        rating.band = 3;
    else
        rating.band = 4;
    static const char *const verdicts[] = {"Very good", "Good", "Normal", "Poor", "Bad"};
    rating.verdict = QString::fromLatin1(verdicts[rating.band]);
    return rating;
}

QString testReportText(const Rating &rating)
{
    return QStringList({
        QStringLiteral("Server test finished!"),
        QString(20, QLatin1Char('=')),
        QStringLiteral("Connection time: ") + floatText(rating.connection) + QStringLiteral(" seconds"),
        QStringLiteral("Response time: ") + floatText(rating.response) + QStringLiteral(" seconds."),
        QStringLiteral("Rating: ") + rating.verdict,
    }).join(QStringLiteral("\r\n"));
}
