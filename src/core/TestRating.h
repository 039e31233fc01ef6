#pragma once

#include <QString>

// Cuts a time to hundredths of a second, toward minus infinity, in double
// precision: FormatNr(0.29) is 0.28 because 0.29 * 100 is 28.999999999999996.
double FormatNr(double dblNumber);

// The outcome of a finished server test, in single precision as reported.
struct TestRating
{
    float sngConnection = 0;
    float sngResponse = 0;
    float sngScore = 0;
    QString strRating;
};

// Rates a test from its two raw time differences in seconds.
TestRating rateTest(double connectionSeconds, double responseSeconds);

// The five lines of the report box, joined by CR LF.
QString testReportText(const TestRating &rating);
