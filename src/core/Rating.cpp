// SPDX-License-Identifier: GPL-3.0-or-later
#include "Rating.h"

#include "Numbers.h"

#include <QCoreApplication>
#include <QStringList>

#include <cmath>

namespace {

// In English, which programs read; shownVerdict() translates them.
const char *const verdicts[] = {QT_TRANSLATE_NOOP("Rating", "Very good"), QT_TRANSLATE_NOOP("Rating", "Good"),
                                QT_TRANSLATE_NOOP("Rating", "Normal"), QT_TRANSLATE_NOOP("Rating", "Poor"),
                                QT_TRANSLATE_NOOP("Rating", "Bad")};

} // namespace

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
    rating.verdict = QString::fromLatin1(verdicts[rating.band]);
    return rating;
}

QString shownVerdict(const Rating &rating)
{
    return QCoreApplication::translate("Rating", verdicts[rating.band]);
}

QString testReportText(const Rating &rating)
{
    return QStringList(
               {
                   QCoreApplication::translate("Rating", "Server test finished!"),
                   QString(20, QLatin1Char('=')),
                   QCoreApplication::translate("Rating", "Connection time: %1 seconds")
                       .arg(floatText(rating.connection)),
                   QCoreApplication::translate("Rating", "Response time: %1 seconds.").arg(floatText(rating.response)),
                   QCoreApplication::translate("Rating", "Rating: %1").arg(shownVerdict(rating)),
               })
        .join(QStringLiteral("\r\n"));
}
