#include "Numbers.h"

#include <QLocale>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

double LeadingNumber(QStringView text)
{
    // Collect the characters of the number, skipping white space, then let the
    // C library convert them: strtod is locale-dependent, so the collected text
    // uses '.' and the conversion goes through QLocale::c().
    std::string number;
    number.reserve(32);
    enum class Stage { Sign, Mantissa, Fraction, ExponentSign, Exponent } stage = Stage::Sign;
    bool hasDigits = false;
    std::string::size_type beforeExponent = 0;

    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c == u' ' || c == u'\t' || c == u'\n')
            continue;
        const bool digit = c >= u'0' && c <= u'9';
        if (stage == Stage::Sign && (c == u'+' || c == u'-')) {
            number += char(c);
            stage = Stage::Mantissa;
        } else if ((stage == Stage::Sign || stage == Stage::Mantissa || stage == Stage::Fraction) && digit) {
            number += char(c);
            hasDigits = true;
            if (stage == Stage::Sign)
                stage = Stage::Mantissa;
        } else if ((stage == Stage::Sign || stage == Stage::Mantissa) && c == u'.') {
            number += '.';
            stage = Stage::Fraction;
        } else if ((stage == Stage::Mantissa || stage == Stage::Fraction) && hasDigits && (c == u'e' || c == u'E')) {
            beforeExponent = number.size();
            number += 'e';
            stage = Stage::ExponentSign;
        } else if (stage == Stage::ExponentSign && (c == u'+' || c == u'-')) {
            number += char(c);
            stage = Stage::Exponent;
        } else if ((stage == Stage::ExponentSign || stage == Stage::Exponent) && digit) {
            number += char(c);
            stage = Stage::Exponent;
        } else {
            break;
        }
    }
    if (!hasDigits)
        return 0.0;
    // An exponent without digits ("1e", "1e+") does not belong to the number.
    if (stage == Stage::ExponentSign || (stage == Stage::Exponent && !std::isdigit(static_cast<unsigned char>(number.back()))))
        number.resize(beforeExponent);

    // A whole number of up to 15 digits is exact in a double and is read
    // directly: a list of thousands of ports would spend most of its loading
    // time in the general conversion otherwise.
    if (stage == Stage::Mantissa) {
        const bool hasSign = number.front() == '-' || number.front() == '+';
        if (number.size() - (hasSign ? 1 : 0) <= 15) {
            unsigned long long magnitude = 0;
            std::from_chars(number.data() + (hasSign ? 1 : 0), number.data() + number.size(), magnitude);
            return number.front() == '-' ? -double(magnitude) : double(magnitude);
        }
    }

    bool ok = false;
    const double value = QLocale::c().toDouble(QLatin1String(number.data(), int(number.size())), &ok);
    if (!ok || !std::isfinite(value))
        return 0.0;
    return value;
}

namespace {

QString numberText(double value, int significantDigits)
{
    if (value == 0.0)
        value = 0.0; // drops the sign of -0
    // The largest doubles round, in 15 digits, up to 1.79769313486232E+308,
    // which lies beyond the range of a double and would read back as no
    // number; they are written as the largest 15-digit text that reads back.
    constexpr double largestReadable = 1.79769313486231e308;
    if (std::abs(value) > largestReadable && std::isfinite(value))
        value = std::copysign(largestReadable, value);
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    // A whole number of no more digits than are shown prints as an integer,
    // which is what the general conversion gives too, only much faster.
    if (std::abs(value) < std::pow(10.0, significantDigits) && value == std::trunc(value))
        return locale.toString(qlonglong(value));
    // Locales differ in the exponent's letter; it is always written "E", so
    // that very large and very small values read the same everywhere (1E+16).
    QString text = locale.toString(value, 'g', significantDigits);
    const QString exponent = locale.exponential();
    if (exponent != QLatin1String("E"))
        text.replace(exponent, QStringLiteral("E"));
    return text;
}

} // namespace

QString NumberText(double dblNumber)
{
    return numberText(dblNumber, 15);
}

QString SingleText(float sngNumber)
{
    return numberText(double(sngNumber), 7);
}
