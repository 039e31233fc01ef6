// SPDX-License-Identifier: GPL-3.0-or-later
#include "RegistryFile.h"

#include <optional>

namespace {

const QString rootKey = QStringLiteral("HKEY_CURRENT_USER");
const QString header = QStringLiteral("Windows Registry Editor Version 5.00");

// The key named by a section header "[key]", or nothing when the line is no
// header. A deletion header "[-key]" names no key that holds values.
std::optional<QString> sectionKey(const QString &trimmed)
{
    if (!trimmed.startsWith(QLatin1Char('[')) || !trimmed.endsWith(QLatin1Char(']')))
        return std::nullopt;
    const QString key = trimmed.mid(1, trimmed.size() - 2);
    return key.startsWith(QLatin1Char('-')) ? QString() : key;
}

// Reads a quoted text with the \\ and \" escapes starting at pos (on the
// opening quote); leaves pos after the closing quote.
bool readQuoted(const QString &text, qsizetype &pos, QString *out)
{
    if (pos >= text.size() || text.at(pos) != QLatin1Char('"'))
        return false;
    out->clear();
    for (++pos; pos < text.size(); ++pos) {
        const QChar ch = text.at(pos);
        if (ch == QLatin1Char('"')) {
            ++pos;
            return true;
        }
        if (ch == QLatin1Char('\\') && pos + 1 < text.size())
            ++pos;
        out->append(text.at(pos));
    }
    return false;
}

QString quoted(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (const QChar ch : text) {
        if (ch == QLatin1Char('\\') || ch == QLatin1Char('"'))
            out += QLatin1Char('\\');
        out += ch;
    }
    return out + QLatin1Char('"');
}

void skipBlanks(const QString &text, qsizetype &pos)
{
    while (pos < text.size() && (text.at(pos) == QLatin1Char(' ') || text.at(pos) == QLatin1Char('\t')))
        ++pos;
}

// Splits a value line into its name ("" for the default value "@") and the
// text after '='. False for any other line.
bool splitValueLine(const QString &trimmed, QString *name, QString *data)
{
    qsizetype pos = 0;
    if (trimmed.startsWith(QLatin1Char('@'))) {
        name->clear();
        pos = 1;
    } else if (!readQuoted(trimmed, pos, name)) {
        return false;
    }
    skipBlanks(trimmed, pos);
    if (pos >= trimmed.size() || trimmed.at(pos) != QLatin1Char('='))
        return false;
    ++pos;
    skipBlanks(trimmed, pos);
    *data = trimmed.mid(pos);
    return true;
}

bool continues(const QString &trimmed)
{
    return trimmed.endsWith(QLatin1Char('\\'));
}

} // namespace

bool splitRegistryPath(const QString &path, QString *key, QString *valueName, QString *error)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('\\'));
    const QString keyPart = slash < 0 ? QString() : path.left(slash);
    const QString root = keyPart.section(QLatin1Char('\\'), 0, 0);
    if (slash < 0 || root.compare(rootKey, Qt::CaseInsensitive) != 0) {
        *error = RegistryFile::tr("Unsupported registry path \"%1\": only HKEY_CURRENT_USER is available.").arg(path);
        return false;
    }
    *key = keyPart;
    *valueName = path.mid(slash + 1);
    return true;
}

bool hasControlCharacter(QStringView text)
{
    for (const QChar ch : text) {
        if (ch.category() == QChar::Other_Control)
            return true;
    }
    return false;
}

RegistryFile::RegistryFile(const QByteArray &content)
    : m_lines(content)
{ }

RegistryFile::Found RegistryFile::find(const QString &key, const QString &valueName) const
{
    Found found;
    bool inKey = false;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const QString trimmed = m_lines.text(i).trimmed();
        // The lines a value continues onto belong to it.
        qsizetype last = i;
        for (QString line = trimmed; continues(line) && last + 1 < m_lines.size();)
            line = m_lines.text(++last).trimmed();
        if (const auto section = sectionKey(trimmed)) {
            inKey = section->compare(key, Qt::CaseInsensitive) == 0;
            if (inKey)
                found.sectionEnd = i + 1;
        } else if (inKey && !trimmed.isEmpty()) {
            found.sectionEnd = last + 1;
            QString name, data;
            if (splitValueLine(trimmed, &name, &data) && name.compare(valueName, Qt::CaseInsensitive) == 0) {
                found.index = i;
                found.count = last - i + 1;
            }
        }
        i = last;
    }
    return found;
}

bool RegistryFile::read(const QString &key, const QString &valueName, RegistryValue *value, QString *error) const
{
    const Found found = find(key, valueName);
    QString name, data;
    if (found.index < 0 || !splitValueLine(m_lines.text(found.index).trimmed(), &name, &data)
        || data == QLatin1String("-")) {
        *error = tr("The registry value \"%1\" of key \"%2\" does not exist.").arg(valueName, key);
        return false;
    }
    if (found.count == 1 && data.startsWith(QLatin1Char('"'))) {
        qsizetype pos = 0;
        QString text;
        if (readQuoted(data, pos, &text)) {
            skipBlanks(data, pos);
            if (pos == data.size()) {
                *value = RegistryValue::fromText(text);
                return true;
            }
        }
    } else if (found.count == 1 && data.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
        const QString digits = data.mid(6).trimmed();
        bool ok = false;
        const quint32 number = digits.toUInt(&ok, 16);
        if (ok && !digits.isEmpty() && digits.size() <= 8) {
            *value = RegistryValue::fromNumber(number);
            return true;
        }
    }
    *error = tr("The registry value \"%1\" of key \"%2\" is neither a text nor a number.").arg(valueName, key);
    return false;
}

bool RegistryFile::write(const QString &key, const QString &valueName, const QString &text, QString *error)
{
    // The key, the value name and the text each go on one line as they are;
    // a line break would cut that line and start a stray header or value.
    if (hasControlCharacter(key) || hasControlCharacter(valueName) || hasControlCharacter(text)) {
        *error = tr("The key, value name or value holds a control character, which the registry file cannot "
                    "store.");
        return false;
    }
    if (!m_lines.isWellFormed()) {
        *error = tr("The registry file is cut off in the middle of a character.");
        return false;
    }
    const QString valueLine = (valueName.isEmpty() ? QStringLiteral("@") : quoted(valueName)) + QLatin1Char('=')
        + quoted(text);

    const Found found = find(key, valueName);
    if (found.index >= 0) {
        m_lines.replace(found.index, found.count, valueLine);
    } else if (found.sectionEnd >= 0) {
        qsizetype at = found.sectionEnd;
        // After a line that asks to be continued, an empty line ends it first.
        if (continues(m_lines.text(at - 1).trimmed()))
            m_lines.insert(at++, QString());
        m_lines.insert(at, valueLine);
    } else {
        if (m_lines.isEmpty())
            m_lines.insert(0, header);
        if (!m_lines.text(m_lines.size() - 1).trimmed().isEmpty())
            m_lines.insert(m_lines.size(), QString());
        m_lines.insert(m_lines.size(), QLatin1Char('[') + key + QLatin1Char(']'));
        m_lines.insert(m_lines.size(), valueLine);
    }
    return true;
}
