// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RegistryValue.h"
#include "TextLines.h"

#include <QCoreApplication>

// A registry export file ("Windows Registry Editor Version 5.00"), in UTF-8
// or, as regedit writes it, UTF-16LE with a byte-order mark. Reading
// understands string values ("Name"="text", with the \\ and \" escapes) and
// dword:XXXXXXXX numbers; "@" names a key's default value; a value's lines
// are its first line and every line continued by a final '\'. Writing
// replaces a value's lines by one line, or adds it, and leaves every other
// line as it stood, byte for byte, in the file's own encoding. Key and value
// names compare without regard to case, as in the registry.
class RegistryFile
{
    Q_DECLARE_TR_FUNCTIONS(RegistryFile)

public:
    explicit RegistryFile(const QByteArray &content = QByteArray());

    bool read(const QString &key, const QString &valueName, RegistryValue *value, QString *error) const;
    bool write(const QString &key, const QString &valueName, const QString &text, QString *error);

    QByteArray content() const { return m_lines.content(); }

private:
    struct Found
    {
        qsizetype index = -1; // first line of the last assignment, -1 when none
        qsizetype count = 0; // its lines, continuation lines included
        qsizetype sectionEnd = -1; // after the last value line of the key's last section
    };
    Found find(const QString &key, const QString &valueName) const;

    TextLines m_lines;
};
