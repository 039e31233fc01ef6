// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TextLines.h"

#include <optional>

// An INI file of [section] headers and key=value lines, as QSettings writes
// it. A value is read as the text it stands for: "5,6" is the text 5,6 (not
// a list), and a quoted value loses its quotes and escapes. Writing replaces
// or adds one line and keeps every other line byte for byte. A file with a
// line that is none of header, key=value, comment or blank is unreadable:
// both reading and writing refuse it, so that it is never rewritten.
class IniFile
{
public:
    explicit IniFile(const QByteArray &content = QByteArray());

    bool isValid() const { return m_valid; }
    // The value's text, or nothing when the file has no such key.
    std::optional<QString> value(const QString &section, const QString &key) const;
    // False when the file is unreadable, or the value cannot be stored on
    // one line.
    bool setValue(const QString &section, const QString &key, const QString &value);

    QByteArray content() const { return m_lines.content(); }

private:
    struct Found
    {
        qsizetype index = -1;
        qsizetype sectionEnd = -1;
    };
    Found find(const QString &section, const QString &key) const;

    TextLines m_lines;
    bool m_valid = true;
};
