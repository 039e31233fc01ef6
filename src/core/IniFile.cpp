// SPDX-License-Identifier: GPL-3.0-or-later
#include "IniFile.h"

#include "RegistryValue.h"

#include <optional>

namespace {

bool isHeader(const QString &trimmed)
{
    return trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'));
}

bool isIgnored(const QString &trimmed)
{
    return trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#'));
}

// The text a stored value stands for: quotes and their escapes removed.
QString unquoted(const QString &stored)
{
    if (stored.size() < 2 || !stored.startsWith(QLatin1Char('"')) || !stored.endsWith(QLatin1Char('"')))
        return stored;
    QString text;
    for (qsizetype i = 1; i + 1 < stored.size(); ++i) {
        if (stored.at(i) == QLatin1Char('\\') && i + 2 < stored.size())
            ++i;
        text += stored.at(i);
    }
    return text;
}

} // namespace

IniFile::IniFile(const QByteArray &content)
    : m_lines(content, QStringLiteral("\n"))
{
    for (qsizetype i = 0; i < m_lines.size() && m_valid; ++i) {
        const QString trimmed = m_lines.text(i).trimmed();
        m_valid = isIgnored(trimmed) || isHeader(trimmed) || trimmed.contains(QLatin1Char('='));
    }
}

IniFile::Found IniFile::find(const QString &section, const QString &key) const
{
    Found found;
    bool inSection = false;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const QString trimmed = m_lines.text(i).trimmed();
        if (isHeader(trimmed)) {
            inSection = trimmed.mid(1, trimmed.size() - 2).trimmed() == section;
            if (inSection)
                found.sectionEnd = i + 1;
        } else if (inSection && !isIgnored(trimmed)) {
            found.sectionEnd = i + 1;
            if (trimmed.section(QLatin1Char('='), 0, 0).trimmed() == key)
                found.index = i;
        }
    }
    return found;
}

std::optional<QString> IniFile::value(const QString &section, const QString &key) const
{
    const Found found = find(section, key);
    if (!m_valid || found.index < 0)
        return std::nullopt;
    const QString line = m_lines.text(found.index);
    return unquoted(line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed());
}

bool IniFile::setValue(const QString &section, const QString &key, const QString &value)
{
    if (!m_valid || hasControlCharacter(value))
        return false;
    const QString line = key + QLatin1Char('=') + value;
    const Found found = find(section, key);
    if (found.index >= 0) {
        m_lines.replace(found.index, 1, line);
    } else if (found.sectionEnd >= 0) {
        m_lines.insert(found.sectionEnd, line);
    } else {
        if (!m_lines.isEmpty() && !m_lines.text(m_lines.size() - 1).trimmed().isEmpty())
            m_lines.insert(m_lines.size(), QString());
        m_lines.insert(m_lines.size(), QLatin1Char('[') + section + QLatin1Char(']'));
        m_lines.insert(m_lines.size(), line);
    }
    return true;
}
