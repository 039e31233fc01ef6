// Fuzzes writing one string value into a Wine registry file (a prefix's
// user.reg). After a write the value reads back as written, the file is one
// that Wine still reads, and every other line stays, in order: only value
// lines, the time after a key's name and the keys' #time= lines may change.
// A write fails only for a file that Wine would not read, a null character
// in the text or a key without names, and then changes nothing.

#include "FuzzCheck.h"

#include "core/TextLines.h"
#include "core/WineRegistryFile.h"

#include <QDateTime>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>

namespace {

// What of a line must survive a write: a section header up to the ']' that
// ends its key (what follows, the key's time, may be rewritten), any other
// line whole.
QString lastingPart(const QString &line)
{
    const qsizetype open = line.indexOf(QLatin1Char('['));
    if (open < 0 || !line.left(open).trimmed().isEmpty())
        return line;
    qsizetype pos = open + 1;
    QString key;
    if (!WineRegistryFile::unescape(line, &pos, QLatin1Char(']'), &key))
        return line;
    return line.left(pos);
}

bool isValueLine(const QString &trimmed)
{
    return trimmed.startsWith(QLatin1Char('"')) || trimmed.startsWith(QLatin1Char('@'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider provider(data, size);
    const QString key = QString::fromStdString(provider.ConsumeRandomLengthString(30));
    const QString name = QString::fromStdString(provider.ConsumeRandomLengthString(20));
    const QString text = QString::fromStdString(provider.ConsumeRandomLengthString(60));
    const std::string rest = provider.ConsumeRemainingBytesAsString();
    const QByteArray before(rest.data(), qsizetype(rest.size()));
    const QDateTime now = QDateTime::fromSecsSinceEpoch(1796596793, Qt::UTC);

    WineRegistryFile file(before, QStringLiteral("HKEY_CURRENT_USER"));
    QString error;
    if (!file.setText(key, name, text, now, &error)) {
        const bool keyWithoutNames = key.split(QLatin1Char('\\'), Qt::SkipEmptyParts).isEmpty();
        FUZZ_CHECK(!file.isKnown() || text.contains(QChar(0)) || keyWithoutNames, error);
        FUZZ_CHECK(file.content() == before, QStringLiteral("a failed write changed the file"));
        return 0;
    }
    const WineRegistryFile after(file.content(), QStringLiteral("HKEY_CURRENT_USER"));
    FUZZ_CHECK(after.isKnown(), QStringLiteral("the written file is no longer one that Wine reads"));
    RegistryValue value;
    FUZZ_CHECK(after.read(key, name, &value, &error), error);
    FUZZ_CHECK(value.kind == RegistryValue::Kind::Text && value.text == text, value.text);

    const TextLines oldLines(before);
    const TextLines newLines(file.content());
    qsizetype next = 0;
    for (qsizetype i = 0; i < oldLines.size(); ++i) {
        const QString line = oldLines.text(i).trimmed();
        const bool continued = i > 0 && oldLines.text(i - 1).trimmed().endsWith(QLatin1Char('\\'));
        if (isValueLine(line) || continued || line.startsWith(QLatin1String("#time=")))
            continue;
        // The last line may have got a line break (a lone CR there becomes
        // part of it).
        const bool last = i == oldLines.size() - 1;
        const auto same = [&](qsizetype j) {
            const QString kept = lastingPart(oldLines.text(i));
            const QString now = lastingPart(newLines.text(j));
            return now == kept || (last && now + QLatin1Char('\r') == kept);
        };
        while (next < newLines.size() && !same(next))
            ++next;
        FUZZ_CHECK(next < newLines.size(), QStringLiteral("line %1 is gone: ").arg(i) + line);
        ++next;
    }
    return 0;
}
