// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes writing one string value into a registry export file. After a
// write the value reads back as written, and every line but value lines
// stays, in order. A write fails only for a control character or a UTF-16 file cut in the middle of
// a character, and then changes nothing.

#include "KeptLines.h"

#include "core/RegistryFile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider provider(data, size);
    const bool existingKey = provider.ConsumeBool();
    const QString name = QString::fromStdString(provider.ConsumeRandomLengthString(20));
    const QString text = QString::fromStdString(provider.ConsumeRandomLengthString(60));
    QString key = QStringLiteral("HKEY_CURRENT_USER\\")
        + QString::fromStdString(provider.ConsumeRandomLengthString(20));
    const std::string rest = provider.ConsumeRemainingBytesAsString();
    const QByteArray before(rest.data(), qsizetype(rest.size()));
    const TextLines oldLines(before);
    if (existingKey) { // a key under HKEY_CURRENT_USER that the file names, where there is one
        for (qsizetype i = 0; i < oldLines.size(); ++i) {
            const QString line = oldLines.text(i).trimmed();
            if (line.startsWith(QLatin1String("[HKEY_CURRENT_USER\\"), Qt::CaseInsensitive)
                && line.endsWith(QLatin1Char(']')))
                key = line.mid(1, line.size() - 2);
        }
    }

    RegistryFile file(before);
    QString error;
    if (!file.write(key, name, text, &error)) {
        fuzzCheck(hasControlCharacter(key) || hasControlCharacter(name) || hasControlCharacter(text)
                      || !oldLines.isWellFormed(),
                  error);
        fuzzCheck(file.content() == before, QStringLiteral("a failed write changed the file"));
        return 0;
    }
    RegistryValue value;
    fuzzCheck(RegistryFile(file.content()).read(key, name, &value, &error), error);
    fuzzCheck(value.kind == RegistryValue::Kind::Text && value.text == text, value.text);

    const auto noOtherLine = [](const QString &) { return false; };
    const auto wholeLine = [](const QString &line) { return line; };
    checkKeptLines(oldLines, TextLines(file.content()), noOtherLine, wholeLine);
    return 0;
}
