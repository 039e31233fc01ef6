// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Reads the leading decimal number of a text. Blanks, tabs and line feeds are
// skipped wherever they stand; reading stops at the first character that cannot
// continue a number (sign, digits, one '.', an exponent). '.' is the decimal
// point whatever the locale. A text without a leading number, or one whose
// number lies beyond the range of a double, gives 0.
double leadingNumber(QStringView text);
// The same for single-byte text (only ASCII can belong to a number).
double leadingNumber(QLatin1StringView text);

// Text of a double: integral values without a decimal point, others with up to
// 15 significant digits, no trailing zeros, a 0 before the separator of values
// below one. Digits, sign and exponent are always ASCII, so that the text reads
// back in every locale; only the decimal separator is the user's locale's.
// No group separators. The largest doubles, whose 15-digit text would lie
// beyond the range of a double, are written as 1.79769313486231E+308.
QString numberText(double value);

// The same for a single-precision number, with up to 7 significant digits.
QString floatText(float value);
