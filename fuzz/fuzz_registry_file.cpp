// Fuzzes writing one string value into a registry export file. After a
// write the value reads back as written, and every line but value lines
// stays, in order. A write
// fails only for a control character or a UTF-16 file cut in the middle of
// a character, and then changes nothing.

#include "FuzzCheck.h"

#include "core/RegistryFile.h"
#include "core/TextLines.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider provider(data, size);
    const bool existingKey = provider.ConsumeBool();
    const QString name = QString::fromStdString(provider.ConsumeRandomLengthString(20));
    const QString text = QString::fromStdString(provider.ConsumeRandomLengthString(60));
    QString key = QStringLiteral("HKEY_CURRENT_USER\\") + QString::fromStdString(provider.ConsumeRandomLengthString(20));
    const std::string rest = provider.ConsumeRemainingBytesAsString();
    const QByteArray before(rest.data(), qsizetype(rest.size()));
    const TextLines oldLines(before);
    if (existingKey) { // a key under HKEY_CURRENT_USER that the file names, where there is one
        for (qsizetype i = 0; i < oldLines.size(); ++i) {
            const QString line = oldLines.text(i).trimmed();
            if (line.startsWith(QLatin1String("[HKEY_CURRENT_USER\\"), Qt::CaseInsensitive) && line.endsWith(QLatin1Char(']')))
                key = line.mid(1, line.size() - 2);
        }
    }

    RegistryFile file(before);
    QString error;
    if (!file.write(key, name, text, &error)) {
        FUZZ_CHECK(hasControlCharacter(key) || hasControlCharacter(name) || hasControlCharacter(text)
                       || !oldLines.isWellFormed(),
                   error);
        FUZZ_CHECK(file.content() == before, QStringLiteral("a failed write changed the file"));
        return 0;
    }
    RegistryValue value;
    FUZZ_CHECK(RegistryFile(file.content()).read(key, name, &value, &error), error);
    FUZZ_CHECK(value.kind == RegistryValue::Kind::Text && value.text == text, value.text);

    // Every old line but value lines (the replaced one among them) and the
    // lines they continue onto is still there, in the same order.
    const TextLines newLines(file.content());
    qsizetype next = 0;
    for (qsizetype i = 0; i < oldLines.size(); ++i) {
        const QString line = oldLines.text(i).trimmed();
        const bool continued = i > 0 && oldLines.text(i - 1).trimmed().endsWith(QLatin1Char('\\'));
        if (line.startsWith(QLatin1Char('"')) || line.startsWith(QLatin1Char('@')) || continued)
            continue;
        // The last line may have got a line break (a lone CR there becomes
        // part of it).
        const bool last = i == oldLines.size() - 1;
        const auto same = [&](qsizetype j) {
            if (last)
                return newLines.text(j) == oldLines.text(i) || newLines.text(j) + QLatin1Char('\r') == oldLines.text(i);
            return newLines.text(j) == oldLines.text(i) && newLines.hasLineEnding(j) == oldLines.hasLineEnding(i);
        };
        while (next < newLines.size() && !same(next))
            ++next;
        FUZZ_CHECK(next < newLines.size(), QStringLiteral("line %1 is gone: ").arg(i) + line);
        ++next;
    }
    return 0;
}
