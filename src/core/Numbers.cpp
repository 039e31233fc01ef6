// SPDX-License-Identifier: GPL-3.0-or-later
#include "Numbers.h"

#include <QLocale>
#include <QVarLengthArray>

#include <charconv>
#include <cmath>

namespace {

template<typename Text>
double parseLeadingNumber(const Text &text)
{
    // Collect the characters of the number, skipping white space, then
    // convert them in the C locale.
    QVarLengthArray<char, 64> number; // on the stack for any usual number
    enum class Stage { Sign, Mantissa, Fraction, ExponentSign, Exponent } stage = Stage::Sign;
    bool hasDigits = false;
    qsizetype beforeExponent = 0;

    for (const auto ch : text) {
        const char16_t c = QChar(ch).unicode();
        if (c == u' ' || c == u'\t' || c == u'\n')
            continue;
        const bool digit = c >= u'0' && c <= u'9';
        if (stage == Stage::Sign && (c == u'+' || c == u'-')) {
            number.append(char(c));
            stage = Stage::Mantissa;
        } else if ((stage == Stage::Sign || stage == Stage::Mantissa || stage == Stage::Fraction) && digit) {
            number.append(char(c));
            hasDigits = true;
            if (stage == Stage::Sign)
                stage = Stage::Mantissa;
        } else if ((stage == Stage::Sign || stage == Stage::Mantissa) && c == u'.') {
            number.append('.');
            stage = Stage::Fraction;
        } else if ((stage == Stage::Mantissa || stage == Stage::Fraction) && hasDigits && (c == u'e' || c == u'E')) {
            beforeExponent = number.size();
            number.append('e');
            stage = Stage::ExponentSign;
        } else if (stage == Stage::ExponentSign && (c == u'+' || c == u'-')) {
            number.append(char(c));
            stage = Stage::Exponent;
        } else if ((stage == Stage::ExponentSign || stage == Stage::Exponent) && digit) {
            number.append(char(c));
            stage = Stage::Exponent;
        } else {
            break;
        }
    }
    if (!hasDigits)
        return 0.0;
    // An exponent without digits ("1e", "1e+") does not belong to the number.
    if (stage == Stage::ExponentSign || (stage == Stage::Exponent && (number.back() < '0' || number.back() > '9')))
        number.resize(beforeExponent);

    // A whole number of up to 15 digits is exact in a double and is read
    // directly: the general conversion would dominate loading a long list.
    if (stage == Stage::Mantissa) {
        const bool hasSign = number.front() == '-' || number.front() == '+';
        if (number.size() - (hasSign ? 1 : 0) <= 15) {
            unsigned long long magnitude = 0;
            std::from_chars(number.data() + (hasSign ? 1 : 0), number.data() + number.size(), magnitude);
            return number.front() == '-' ? -double(magnitude) : double(magnitude);
        }
    }

    bool ok = false;
    const double value = QLocale::c().toDouble(QLatin1StringView(number.data(), number.size()), &ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

QString formatNumber(double value, int significantDigits)
{
    if (value == 0.0)
        value = 0.0; // drops the sign of -0
    // The largest doubles round, in 15 digits, up to 1.79769313486232E+308,
    // which lies beyond the range of a double and would read back as no
    // number; they are written as the largest 15-digit text that reads back.
    constexpr double largestReadable = 1.79769313486231e308;
    if (std::abs(value) > largestReadable && std::isfinite(value))
        value = std::copysign(largestReadable, value);
    // Whole numbers of no more digits than are shown print as integers.
    if (std::abs(value) < std::pow(10.0, significantDigits) && value == std::trunc(value))
        return QString::number(qlonglong(value));
    // The C locale writes ASCII digits and sign and "e"; the exponent is
    // written "E" and only the decimal point takes the user's locale.
    QString text = QLocale::c().toString(value, 'g', significantDigits);
    text.replace(QLatin1Char('e'), QLatin1Char('E'));
    const QString point = QLocale().decimalPoint();
    if (point != QLatin1String("."))
        text.replace(QLatin1Char('.'), point);
    return text;
}

} // namespace

double leadingNumber(QStringView text)
{
    return parseLeadingNumber(text);
}

double leadingNumber(QLatin1StringView text)
{
    return parseLeadingNumber(text);
}

QString numberText(double value)
{
    return formatNumber(value, 15);
}

QString floatText(float value)
{
    return formatNumber(double(value), 7);
}
