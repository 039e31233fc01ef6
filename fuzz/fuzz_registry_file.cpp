// Fuzzes the registry file that stands in for the registry: reading a file,
// writing one string value into it and reading the result back.
//
// The input gives the file's content and what to write: which key and value
// name (one of those the file names, or a new one under HKEY_CURRENT_USER)
// and the text. After the write
//   - the written value reads back as the text, from the written bytes;
//   - every other value reads as it did before (same text or number, or
//     still unreadable);
//   - the lines of the file that the write did not replace stay byte for byte
//     the same: the write replaces one line or inserts new ones in one place,
//     and may end the line before them with a line break.
// A write fails only for a UTF-16 file or a text with a line break; a failed
// write leaves the content as it was.

#include "FuzzCheck.h"

#include "app/RegistryFile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QSet>

#include <cstdint>
#include <optional>

namespace {

// Keeps the number of values read before and after each write small.
constexpr qsizetype maxCandidates = 12;

QList<QByteArray> splitLines(const QByteArray &content)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < content.size()) {
        const qsizetype lineFeed = content.indexOf('\n', start);
        const qsizetype end = lineFeed < 0 ? content.size() : lineFeed + 1;
        lines.append(content.mid(start, end - start));
        start = end;
    }
    return lines;
}

QString trimmedText(QByteArray line)
{
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line).trimmed();
}

void addCandidate(QStringList &list, const QString &text)
{
    if (list.size() < maxCandidates && !list.contains(text, Qt::CaseInsensitive))
        list.append(text);
}

// The keys of the file's section headers and the names of its value lines.
void namesInFile(const QList<QByteArray> &lines, QStringList *keys, QStringList *names)
{
    for (const QByteArray &line : lines) {
        const QString text = trimmedText(line);
        if (text.startsWith(QLatin1Char('[')) && text.endsWith(QLatin1Char(']')) && text.size() >= 2) {
            addCandidate(*keys, text.mid(1, text.size() - 2));
        } else if (text.startsWith(QLatin1Char('@'))) {
            addCandidate(*names, QString());
        } else if (text.startsWith(QLatin1Char('"'))) {
            QString name;
            for (qsizetype i = 1; i < text.size() && text.at(i) != QLatin1Char('"'); ++i) {
                if (text.at(i) == QLatin1Char('\\') && i + 1 < text.size())
                    ++i;
                name += text.at(i);
            }
            addCandidate(*names, name);
        }
    }
}

std::optional<RegValue> readValue(const RegistryFile &file, const QString &key, const QString &name)
{
    RegValue value;
    QString error;
    if (!file.read(key, name, &value, &error))
        return std::nullopt;
    return value;
}

bool sameValue(const std::optional<RegValue> &a, const std::optional<RegValue> &b)
{
    if (a.has_value() != b.has_value())
        return false;
    return !a || (a->kind == b->kind && a->text == b->text && a->number == b->number);
}

QString describe(const std::optional<RegValue> &value)
{
    if (!value)
        return QStringLiteral("(unreadable)");
    return value->kind == RegValue::Kind::Text ? QLatin1Char('"') + value->text + QLatin1Char('"')
                                               : QStringLiteral("dword %1").arg(value->number);
}

// True when the line, alone in a section of the key, holds the written value.
bool isWrittenValueLine(const QByteArray &line, const QString &key, const QString &name, const QString &text)
{
    const RegistryFile alone('[' + key.toUtf8() + "]\n" + line);
    const std::optional<RegValue> value = readValue(alone, key, name);
    return value && value->kind == RegValue::Kind::Text && value->text == text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider provider(data, size);
    const auto keyPick = provider.ConsumeIntegral<uint8_t>();
    const auto namePick = provider.ConsumeIntegral<uint8_t>();
    const std::string newKey = provider.ConsumeRandomLengthString(40);
    const std::string newName = provider.ConsumeRandomLengthString(40);
    const std::string textBytes = provider.ConsumeRandomLengthString(80);
    const std::string contentBytes = provider.ConsumeRemainingBytesAsString();
    const QByteArray content(contentBytes.data(), qsizetype(contentBytes.size()));
    const QString text = QString::fromUtf8(textBytes.data(), qsizetype(textBytes.size()));

    // Reading and saving untouched gives the same bytes.
    const RegistryFile before(content);
    FUZZ_CHECK(before.content() == content, QStringLiteral("content changed without a write"));

    QStringList keys, names;
    const QList<QByteArray> oldLines = splitLines(content);
    namesInFile(oldLines, &keys, &names);
    keys.append(QStringLiteral("HKEY_CURRENT_USER\\") + QString::fromUtf8(newKey.data(), qsizetype(newKey.size())));
    names.append(QString::fromUtf8(newName.data(), qsizetype(newName.size())));

    // The value goes through a registry path, as the program's writes do.
    const QString path = keys.at(keyPick % keys.size()) + QLatin1Char('\\') + names.at(namePick % names.size());
    QString key, name, error;
    if (!splitRegistryPath(path, &key, &name, &error))
        return 0;
    addCandidate(keys, key);
    addCandidate(names, name);

    struct Reading
    {
        QString key;
        QString name;
        std::optional<RegValue> value;
    };
    QList<Reading> others;
    for (const QString &otherKey : std::as_const(keys)) {
        for (const QString &otherName : std::as_const(names)) {
            if (otherKey.compare(key, Qt::CaseInsensitive) != 0 || otherName.compare(name, Qt::CaseInsensitive) != 0)
                others.append({otherKey, otherName, readValue(before, otherKey, otherName)});
        }
    }

    RegistryFile written = before;
    const bool mayFail = content.startsWith("\xFF\xFE") || content.startsWith("\xFE\xFF")
        || text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'))
        || key.contains(QLatin1Char('\n')) || key.contains(QLatin1Char('\r'))
        || name.contains(QLatin1Char('\n')) || name.contains(QLatin1Char('\r'));
    if (!written.write(key, name, text, &error)) {
        FUZZ_CHECK(mayFail, QStringLiteral("write failed: ") + error);
        FUZZ_CHECK(written.content() == content, QStringLiteral("a failed write changed the content"));
        return 0;
    }

    // The file as the next reader sees it.
    const QByteArray newContent = written.content();
    const RegistryFile after(newContent);
    const std::optional<RegValue> back = readValue(after, key, name);
    FUZZ_CHECK(back && back->kind == RegValue::Kind::Text && back->text == text,
               QStringLiteral("[%1] \"%2\" written \"%3\", read back %4").arg(key, name, text, describe(back)));
    for (const Reading &other : std::as_const(others)) {
        const std::optional<RegValue> now = readValue(after, other.key, other.name);
        FUZZ_CHECK(sameValue(other.value, now),
                   QStringLiteral("writing [%1] \"%2\" changed [%3] \"%4\" from %5 to %6")
                       .arg(key, name, other.key, other.name, describe(other.value), describe(now)));
    }

    // Only the lines between the common beginning and the common end differ.
    const QList<QByteArray> newLines = splitLines(newContent);
    qsizetype prefix = 0;
    while (prefix < oldLines.size() && prefix < newLines.size() && oldLines.at(prefix) == newLines.at(prefix))
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < oldLines.size() - prefix && suffix < newLines.size() - prefix
           && oldLines.at(oldLines.size() - 1 - suffix) == newLines.at(newLines.size() - 1 - suffix))
        ++suffix;
    const QList<QByteArray> removed = oldLines.mid(prefix, oldLines.size() - prefix - suffix);
    QList<QByteArray> added = newLines.mid(prefix, newLines.size() - prefix - suffix);
    FUZZ_CHECK(removed.size() <= 1, QStringLiteral("%1 lines changed").arg(removed.size()));
    if (removed.size() == 1) {
        const QByteArray &old = removed.first();
        const bool terminated = !old.endsWith('\n') && !added.isEmpty()
            && (added.first() == old + "\r\n" || added.first() == old + '\n');
        if (terminated)
            added.removeFirst();
        else
            FUZZ_CHECK(added.size() == 1 && isWrittenValueLine(added.first(), key, name, text),
                       QStringLiteral("the line \"%1\" was changed").arg(QString::fromUtf8(old)));
    }
    for (const QByteArray &line : std::as_const(added)) {
        const QString lineText = trimmedText(line);
        FUZZ_CHECK(lineText.isEmpty() || lineText == QLatin1String("Windows Registry Editor Version 5.00")
                       || lineText == QLatin1Char('[') + key + QLatin1Char(']')
                       || isWrittenValueLine(line, key, name, text),
                   QStringLiteral("unexpected new line \"%1\"").arg(QString::fromUtf8(line)));
    }
    return 0;
}
