// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the fuzzers share: fuzzCheck for any property, and for the registry
// file formats one fuzzed write and what must hold after it.

#include "core/RegistryValue.h"
#include "core/TextLines.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>

// Stops the fuzzer with a message when a property does not hold; libFuzzer
// then saves the input that broke it, and its stack trace says which check.
inline void fuzzCheck(bool holds, const QString &message)
{
    if (holds)
        return;
    std::fprintf(stderr, "check failed: %s\n", message.toUtf8().toPercentEncoding(" \\/:;\"'=[]@").constData());
    std::abort();
}

// One string value to write, from the fuzzer's bytes: its key, name and text
// (at most 40, 20 and 60 bytes), then the file it goes into.
struct FuzzedWrite
{
    FuzzedWrite(const uint8_t *data, size_t size)
    {
        FuzzedDataProvider provider(data, size);
        key = QString::fromStdString(provider.ConsumeRandomLengthString(40));
        name = QString::fromStdString(provider.ConsumeRandomLengthString(20));
        text = QString::fromStdString(provider.ConsumeRandomLengthString(60));
        before = QByteArray::fromStdString(provider.ConsumeRemainingBytesAsString());
    }
    QString key, name, text;
    QByteArray before;
};

// What of a line must stay after a write: a section header up to the first
// ']' (a Wine key's time, after its name, may change), any other line whole.
inline QString lastingPart(const QString &line)
{
    const qsizetype close = line.indexOf(QLatin1Char(']'));
    return line.trimmed().startsWith(QLatin1Char('[')) && close >= 0 ? line.left(close + 1) : line;
}

// What must hold after a write of input, done or not (written), where after
// is the file read anew from the bytes the write left. A failed write, which
// only a reason of the format allows (mayFail), changed nothing. A done one
// reads back as written and kept the lasting part of every line of the file,
// in order, with its line ending, but value lines (the replaced one among
// them), the lines they continue onto and a Wine key's #time= line. The last
// line may have got a line break (a lone CR there becomes part of it).
template<typename File>
void checkWrite(const FuzzedWrite &input, bool written, bool mayFail, QString error, const File &after)
{
    fuzzCheck(written || (mayFail && after.content() == input.before), QStringLiteral("refused: ") + error);
    if (!written)
        return;
    RegistryValue value;
    fuzzCheck(after.read(input.key, input.name, &value, &error), error);
    fuzzCheck(value.kind == RegistryValue::Kind::Text && value.text == input.text, value.text);
    const TextLines before(input.before);
    const TextLines now(after.content());
    qsizetype next = 0;
    for (qsizetype i = 0; i < before.size(); ++i) {
        const QString line = before.text(i).trimmed();
        const bool continued = i > 0 && before.text(i - 1).trimmed().endsWith(QLatin1Char('\\'));
        if (line.startsWith(QLatin1Char('"')) || line.startsWith(QLatin1Char('@')) || continued
            || line.startsWith(QLatin1String("#time=")))
            continue;
        const bool last = i == before.size() - 1;
        const QString kept = lastingPart(before.text(i));
        const auto same = [&](qsizetype j) {
            const QString text = lastingPart(now.text(j));
            if (last) // a line break added, or a lone CR now ending the line
                return text == kept || text + QLatin1Char('\r') == kept;
            return text == kept && now.hasLineEnding(j) == before.hasLineEnding(i);
        };
        while (next < now.size() && !same(next))
            ++next;
        fuzzCheck(next < now.size(), QStringLiteral("line %1 is gone: ").arg(i) + line);
        ++next;
    }
}
