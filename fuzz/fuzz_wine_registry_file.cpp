// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes writing one string value into a Wine registry file (a prefix's
// user.reg). After a write the value reads back as written, the file is one
// that Wine still reads, and every other line stays, in order: only value
// lines, the time after a key's name and the keys' #time= lines may change.
// A write fails only for a file that Wine would not read, a null character
// in the text or a key without names, and then changes nothing.

#include "KeptLines.h"

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
        fuzzCheck(!file.isKnown() || text.contains(QChar(0)) || keyWithoutNames, error);
        fuzzCheck(file.content() == before, QStringLiteral("a failed write changed the file"));
        return 0;
    }
    const WineRegistryFile after(file.content(), QStringLiteral("HKEY_CURRENT_USER"));
    fuzzCheck(after.isKnown(), QStringLiteral("the written file is no longer one that Wine reads"));
    RegistryValue value;
    fuzzCheck(after.read(key, name, &value, &error), error);
    fuzzCheck(value.kind == RegistryValue::Kind::Text && value.text == text, value.text);

    const auto keyTime = [](const QString &line) { return line.startsWith(QLatin1String("#time=")); };
    checkKeptLines(TextLines(before), TextLines(file.content()), keyTime, lastingPart);
    return 0;
}
