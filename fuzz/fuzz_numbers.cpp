// Fuzzes LeadingNumber, NumberText and SingleText.
//
// The input is read twice: as text for LeadingNumber, and its first eight
// (four) bytes as the bits of a double (float) for NumberText (SingleText).
// In the C locale the printed text of every finite number reads back, through
// LeadingNumber, to that number within the printed precision, because the
// port cell of a row is printed this way and read again when Messenger's
// setting is composed from it.

#include "FuzzCheck.h"

#include "servers/Numbers.h"
#include "servers/ServerList.h"

#include <QLocale>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

// What a printed number must look like: no group separators, a digit before
// any decimal point, no trailing zeros after it, no point in integral values
// that fit the significant digits (larger ones take an exponent).
void checkShape(const QString &text, double value, int digits)
{
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    const qsizetype exponent = text.indexOf(QLatin1Char('E'));
    FUZZ_CHECK(!text.contains(QLatin1Char(',')), text);
    FUZZ_CHECK(!text.contains(QLatin1Char('e')), text);
    if (point >= 0) {
        FUZZ_CHECK(point > 0 && text.at(point - 1).isDigit(), text);
        const qsizetype fractionEnd = exponent >= 0 ? exponent : text.size();
        FUZZ_CHECK(fractionEnd > point + 1 && text.at(fractionEnd - 1) != QLatin1Char('0'), text);
    }
    if (std::abs(value) < std::pow(10.0, digits) && value == std::trunc(value))
        FUZZ_CHECK(point < 0, text);
}

// The printed text reads back to the value within `digits` significant digits.
void checkReadsBack(const QString &text, double value, int digits, double smallest)
{
    const double back = LeadingNumber(text);
    const double tolerance = std::abs(value) * 0.6 * std::pow(10.0, 1 - digits) + smallest;
    FUZZ_CHECK(std::abs(back - value) <= tolerance,
               QStringLiteral("%1 printed as %2 reads back as %3").arg(value, 0, 'g', 17).arg(text).arg(back, 0, 'g', 17));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    QLocale::setDefault(QLocale::c());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    // Any text: the number is finite and its printed text reads back.
    for (const QString &text : {decodeServerListBytes(bytes), QString::fromUtf8(bytes)}) {
        const double number = LeadingNumber(text);
        FUZZ_CHECK(std::isfinite(number), text);
        const QString printed = NumberText(number);
        checkShape(printed, number, 15);
        checkReadsBack(printed, number, 15, std::numeric_limits<double>::denorm_min());
        // Printing is stable: the text read back prints the same.
        FUZZ_CHECK(NumberText(LeadingNumber(printed)) == printed, printed);
    }

    // Any bit pattern of a double, NaN and infinities included.
    if (size >= sizeof(double)) {
        double value;
        std::memcpy(&value, data, sizeof value);
        const QString printed = NumberText(value);
        if (std::isfinite(value)) {
            checkShape(printed, value, 15);
            checkReadsBack(printed, value, 15, std::numeric_limits<double>::denorm_min());
        }
    }
    if (size >= sizeof(float)) {
        float value;
        std::memcpy(&value, data, sizeof value);
        const QString printed = SingleText(value);
        if (std::isfinite(value)) {
            checkShape(printed, value, 7);
            checkReadsBack(printed, value, 7, std::numeric_limits<float>::denorm_min());
        }
    }
    return 0;
}
