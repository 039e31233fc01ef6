// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Cuts a time to hundredths of a second, toward minus infinity, in double
// precision: truncateToHundredths(0.29) is 0.28 because 0.29 * 100 is 28.999999999999996.
double truncateToHundredths(double value);

// The outcome of a finished server test, in single precision as reported.
struct Rating
{
    float connection = 0;
    float response = 0;
    float score = 0;
    QString verdict;
    int band = 0; // of the verdict: 0 for "Very good" to 4 for "Bad"
};

// Rates a test from its two raw time differences in seconds.
Rating rateTest(double connectionSeconds, double responseSeconds);

// The verdict in the user's language; Rating::verdict stays English.
QString shownVerdict(const Rating &rating);

// The five lines of the report box, joined by CR LF, in the user's language.
QString testReportText(const Rating &rating);
