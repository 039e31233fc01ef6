// SPDX-License-Identifier: GPL-3.0-or-later
#include "WineRegistryFile.h"

namespace {

const QByteArray header = QByteArrayLiteral("WINE REGISTRY Version 2");

// Seconds from 1601, where FILETIME counts from, to 1970.
constexpr qint64 secondsBefore1970 = 11644473600LL;

// Wine's escapes for the control characters that have one of their own.
constexpr char controlEscapes[] = ".......abtnvfr.............e....";

bool isSpace(QChar c)
{
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

qsizetype skipSpace(QStringView line, qsizetype pos)
{
    while (pos < line.size() && isSpace(line[pos]))
        ++pos;
    return pos;
}

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

int hexDigit(QChar c)
{
    return c <= u'9' ? c.unicode() - '0' : (c.unicode() | 0x20) - 'a' + 10;
}

// The names of a key path; empty names are skipped, as Wine does.
QStringList keyNames(const QString &key)
{
    return key.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

// Wine's order of key sections: each key before its subkeys, siblings by
// name without regard to case.
int compareKeys(const QStringList &a, const QStringList &b)
{
    for (qsizetype i = 0; i < qMin(a.size(), b.size()); ++i) {
        if (const int order = a[i].compare(b[i], Qt::CaseInsensitive))
            return order;
    }
    return int(a.size() - b.size());
}

// Reads a value line's name ("" for @) and the position of its data after
// '='. False when Wine would not read the line as a value.
bool parseValueName(QStringView line, QString *name, qsizetype *dataPos)
{
    qsizetype pos = skipSpace(line, 0);
    name->clear();
    if (pos < line.size() && line[pos] == u'@') {
        ++pos;
    } else if (pos < line.size() && line[pos] == u'"') {
        ++pos;
        if (!WineRegistryFile::unescape(line, &pos, u'"', name))
            return false;
    } else {
        return false;
    }
    pos = skipSpace(line, pos);
    if (pos >= line.size() || line[pos] != u'=')
        return false;
    *dataPos = skipSpace(line, pos + 1);
    return true;
}

enum class DataKind { Text, Number, Binary, Other, Malformed };

// The data's type tag as Wine reads it; *pos moves past the tag.
DataKind dataKind(QStringView line, qsizetype *pos)
{
    static const struct
    {
        const char *tag;
        DataKind kind;
    } tags[] = {
        {"\"", DataKind::Text},         {"str:\"", DataKind::Text},   {"str(2):\"", DataKind::Text},
        {"str(7):\"", DataKind::Other}, {"dword:", DataKind::Number}, {"hex:", DataKind::Binary},
    };
    const QStringView data = line.mid(*pos);
    for (const auto &tag : tags) {
        if (data.startsWith(QLatin1String(tag.tag))) {
            *pos += qsizetype(strlen(tag.tag));
            return tag.kind;
        }
    }
    // hex(<type>): any other type, as bytes.
    const qsizetype close = data.indexOf(QLatin1String("):"));
    if (!data.startsWith(QLatin1String("hex(")) || close < 0)
        return DataKind::Malformed;
    *pos += close + 2;
    return DataKind::Binary;
}

// A dword's digits as Wine's strtoul(..., 16) reads them, cut to 32 bits.
quint32 dwordValue(QStringView data)
{
    quint64 number = 0;
    for (qsizetype pos = skipSpace(data, 0); pos < data.size() && isHexDigit(data[pos]); ++pos)
        number = number > (~quint64(0) >> 4) ? ~quint64(0) : number << 4 | quint64(hexDigit(data[pos]));
    return quint32(number);
}

// The "#time=" line Wine writes: the time as FILETIME, 100 ns units since 1601, in hex.
QString timeLine(const QDateTime &now)
{
    const quint64 ticks = quint64(now.toMSecsSinceEpoch() + secondsBefore1970 * 1000) * 10000;
    return QStringLiteral("#time=%1%2").arg(uint(ticks >> 32), 0, 16).arg(uint(ticks), 8, 16, QLatin1Char('0'));
}

} // namespace

WineRegistryFile::WineRegistryFile(const QByteArray &content, const QString &rootName)
    : m_lines(content, QStringLiteral("\n"))
    , m_rootName(rootName)
{
    // Wine compares the first line, less its line ending, with the header.
    m_known = content == header || content.startsWith(header + '\n') || content.startsWith(header + "\r\n");
    parse();
}

QString WineRegistryFile::escape(QStringView text, QChar open, QChar close)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const QChar next = i + 1 < text.size() ? text[i + 1] : QChar();
        if (c > 127) {
            // Four digits when a hex digit follows, which would else join the escape.
            out += QStringLiteral("\\x%1").arg(uint(c), isHexDigit(next) ? 4 : 0, 16, QLatin1Char('0'));
        } else if (c < 32) {
            if (controlEscapes[c] != '.')
                out += QLatin1String("\\") + QLatin1Char(controlEscapes[c]);
            else
                out += QStringLiteral("\\%1").arg(uint(c), next >= u'0' && next <= u'7' ? 3 : 0, 8, QLatin1Char('0'));
        } else {
            if (c == u'\\' || c == open || c == close)
                out += QLatin1Char('\\');
            out += QChar(c);
        }
    }
    return out;
}

bool WineRegistryFile::unescape(QStringView line, qsizetype *pos, QChar end, QString *out)
{
    out->clear();
    qsizetype p = *pos;
    while (p < line.size() && line[p] != end) {
        if (line[p] != u'\\') {
            out->append(line[p++]);
            continue;
        }
        if (++p >= line.size())
            return false;
        const QChar c = line[p++];
        // '.' marks the control characters without an escape of their own;
        // any other character, non-ASCII ones too, starts no escape.
        const bool escapable = c.unicode() < 128 && c != u'.';
        const qsizetype control = escapable ? QByteArrayView(controlEscapes).indexOf(char(c.unicode())) : -1;
        if (control >= 0) {
            out->append(QChar(char16_t(control)));
        } else if (c == u'x') {
            char16_t unit = 0;
            qsizetype digits = 0;
            for (; digits < 4 && p < line.size() && isHexDigit(line[p]); ++digits)
                unit = char16_t(unit * 16 + hexDigit(line[p++]));
            out->append(digits ? QChar(unit) : QChar(u'x'));
        } else if (c >= u'0' && c <= u'7') {
            char16_t unit = c.unicode() - '0';
            for (int digits = 1; digits < 3 && p < line.size() && line[p] >= u'0' && line[p] <= u'7'; ++digits)
                unit = char16_t(unit * 8 + line[p++].unicode() - '0');
            out->append(QChar(unit));
        } else {
            out->append(c);
        }
    }
    if (p >= line.size())
        return false;
    *pos = p + 1;
    return true;
}

void WineRegistryFile::parse()
{
    m_sections.clear();
    qsizetype current = -1; // the section values go to; -1 before the first or after a malformed one
    for (qsizetype i = 1; i < m_lines.size(); ++i) {
        const QString line = m_lines.text(i);
        const qsizetype start = skipSpace(line, 0);
        const QStringView rest = QStringView(line).mid(start);
        if (rest.startsWith(u'[')) {
            QString key;
            qsizetype pos = start + 1;
            current = unescape(line, &pos, u']', &key) ? m_sections.size() : -1;
            if (current >= 0)
                m_sections.append({keyNames(key), i, -1, i + 1, {}});
        } else if (rest.startsWith(u'#')) {
            if (current >= 0) {
                if (rest.startsWith(QLatin1String("#time=")))
                    m_sections[current].timeLine = i;
                m_sections[current].end = i + 1;
            } else if (rest.startsWith(QLatin1String("#arch="))) {
                // Wine refuses to load a file of an unknown or a second, other architecture.
                const QString arch = rest.mid(6).toString();
                if ((arch != QLatin1String("win32") && arch != QLatin1String("win64"))
                    || (!m_arch.isEmpty() && arch != m_arch))
                    m_known = false;
                m_arch = arch;
            }
        } else if (rest.startsWith(u'"') || rest.startsWith(u'@')) {
            Value value{QString(), i, 1};
            qsizetype pos = 0;
            if (!parseValueName(line, &value.name, &pos))
                continue;
            // Bytes go on over the following lines while a line ends in '\'.
            if (dataKind(line, &pos) == DataKind::Binary) {
                while (i + 1 < m_lines.size() && m_lines.text(i).trimmed().endsWith(u'\\')) {
                    ++i;
                    ++value.count;
                }
            }
            if (current >= 0) {
                m_sections[current].values.append(value);
                m_sections[current].end = i + 1;
            }
        }
    }
}

QString WineRegistryFile::valuePath(const QString &key, const QString &name) const
{
    QStringList names = keyNames(key);
    if (!m_rootName.isEmpty())
        names.prepend(m_rootName);
    return names.join(QLatin1Char('\\')) + QLatin1Char('\\') + name;
}

bool WineRegistryFile::hasKey(const QString &key) const
{
    if (!m_known)
        return false;
    const QStringList names = keyNames(key);
    for (const Section &section : m_sections) {
        if (compareKeys(section.key.mid(0, names.size()), names) == 0)
            return true;
    }
    return false;
}

bool WineRegistryFile::read(const QString &key, const QString &name, RegistryValue *value, QString *error) const
{
    if (!m_known) {
        *error = tr("The file is not a registry file that Wine reads.");
        return false;
    }
    const QStringList names = keyNames(key);
    const Value *found = nullptr;
    // Wine merges repeated sections; the last assignment of a value counts.
    for (const Section &section : m_sections) {
        if (compareKeys(section.key, names) != 0)
            continue;
        for (const Value &candidate : section.values) {
            if (candidate.name.compare(name, Qt::CaseInsensitive) == 0)
                found = &candidate;
        }
    }
    if (!found) {
        *error = hasKey(key) ? tr("The registry value %1 does not exist.").arg(valuePath(key, name))
                             : tr("The registry key %1 does not exist.").arg(valuePath(key, QString()).chopped(1));
        return false;
    }
    const QString line = m_lines.text(found->line);
    QString ignored, text;
    qsizetype pos = 0;
    parseValueName(line, &ignored, &pos);
    const DataKind kind = dataKind(line, &pos);
    if (kind == DataKind::Text && unescape(line, &pos, u'"', &text)) {
        *value = RegistryValue::fromText(text);
        return true;
    }
    if (kind == DataKind::Number) {
        *value = RegistryValue::fromNumber(dwordValue(QStringView(line).mid(pos)));
        return true;
    }
    *error = (kind == DataKind::Binary || kind == DataKind::Other
                  ? tr("The registry value %1 is neither text nor a number.")
                  : tr("The registry value %1 cannot be read: its line in the file is malformed."))
                 .arg(valuePath(key, name));
    return false;
}

void WineRegistryFile::touch(const Section &section, const QDateTime &now)
{
    const QString header = m_lines.text(section.header);
    qsizetype pos = skipSpace(header, 0) + 1;
    QString ignored;
    // "] <seconds>", where the seconds were written; Wine takes the key's
    // time from the #time= line first.
    if (unescape(header, &pos, u']', &ignored)) {
        const qsizetype digits = skipSpace(header, pos);
        if (digits < header.size() && header[digits].isDigit())
            m_lines.replace(section.header, 1,
                            header.left(pos) + QLatin1Char(' ') + QString::number(now.toSecsSinceEpoch()));
    }
    if (section.timeLine >= 0)
        m_lines.replace(section.timeLine, 1, timeLine(now));
}

bool WineRegistryFile::setText(const QString &key, const QString &name, const QString &text, const QDateTime &now,
                               QString *error)
{
    if (!m_known) {
        *error = tr("The file is not a registry file that Wine reads; it is left as it is.");
        return false;
    }
    if (text.contains(QChar(0))) {
        *error = tr("Text for the registry value %1 contains a null character.").arg(valuePath(key, name));
        return false;
    }
    const QStringList names = keyNames(key);
    if (names.isEmpty()) {
        *error = tr("The registry value %1 names no key.").arg(valuePath(key, name));
        return false;
    }
    const QString valueLine = (name.isEmpty() ? QStringLiteral("@") : u'"' + escape(name, u'"', u'"') + u'"')
        + QStringLiteral("=\"") + escape(text, u'"', u'"') + u'"';

    // The last section of the key, and in it or an earlier one the value's last assignment.
    const Section *last = nullptr;
    const Value *found = nullptr;
    const Section *foundIn = nullptr;
    const Section *following = nullptr; // the first section after where the key belongs
    for (const Section &section : m_sections) {
        const int order = compareKeys(section.key, names);
        if (order > 0 && !following)
            following = &section;
        if (order != 0)
            continue;
        last = &section;
        for (const Value &value : section.values) {
            if (value.name.compare(name, Qt::CaseInsensitive) == 0) {
                found = &value;
                foundIn = &section;
            }
        }
    }

    if (found) {
        touch(*foundIn, now);
        m_lines.replace(found->line, found->count, valueLine);
    } else if (last) {
        // Among the key's values in Wine's order, or after the last one.
        qsizetype at = last->end;
        for (const Value &value : last->values) {
            if (value.name.compare(name, Qt::CaseInsensitive) > 0) {
                at = value.line;
                break;
            }
        }
        touch(*last, now);
        m_lines.insert(at, valueLine);
    } else {
        // Before the next key's section, or at the end, a blank line between.
        QStringList lines = {u'[' + escape(names.join(QLatin1Char('\\')), u'[', u']') + QStringLiteral("] ")
                                 + QString::number(now.toSecsSinceEpoch()),
                             timeLine(now), valueLine};
        if (following)
            lines.append(QString());
        else
            lines.prepend(QString());
        qsizetype at = following ? following->header : m_lines.size();
        for (const QString &line : lines)
            m_lines.insert(at++, line);
    }
    parse();
    return true;
}
