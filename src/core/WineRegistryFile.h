// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RegistryValue.h"
#include "TextLines.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QList>

// A registry file of a Wine prefix (user.reg, system.reg) as Wine's server
// reads and writes it: the header line "WINE REGISTRY Version 2", options
// such as "#arch=win64", then one section per key, "[Key\\Sub] <seconds>"
// and "#time=<FILETIME hex>", followed by its values ("Name"="text", @= for
// the default value, dword:, str(2):, hex: continued over lines ending in
// '\'). Names and texts use Wine's escapes, so the file stays ASCII.
//
// Key paths are relative to the file's root and use single backslashes
// ("Software\Microsoft\MSNMessenger"); they and value names compare without
// regard to case. Writing changes only the lines of the value written and the
// time lines of its key, or adds the value or the key; every other byte stays.
class WineRegistryFile
{
    Q_DECLARE_TR_FUNCTIONS(WineRegistryFile)

public:
    // The most bytes of a registry file that are read: a prefix's files grow
    // far beyond a hand-made export, with every program installed in it.
    static constexpr qint64 SizeLimit = 64 * 1024 * 1024;

    // rootName ("HKEY_CURRENT_USER") only names the values in messages.
    explicit WineRegistryFile(const QByteArray &content, const QString &rootName = QString());

    // Whether Wine loads this file. Wine ignores a file with another first
    // line or an unknown architecture and later overwrites it with what it
    // holds in memory, so such a file is never changed here.
    bool isKnown() const { return m_known; }
    // "win32" or "win64" from the #arch= line; empty when there is none.
    QString arch() const { return m_arch; }

    // True when the key or a key below it has a section. Wine saves no
    // section for a key that holds only subkeys.
    bool hasKey(const QString &key) const;
    // A string value (also str(2):) as text, a dword as number. A missing
    // value, another type or a malformed line is an error.
    bool read(const QString &key, const QString &name, RegistryValue *value, QString *error) const;
    // Stores text as a string value, creating the value and its key as
    // needed, and sets the key's modification time to now.
    bool setText(const QString &key, const QString &name, const QString &text, const QDateTime &now, QString *error);

    QByteArray content() const { return m_lines.content(); }

    // Wine's escaping of a name or text, with the two delimiter characters
    // that must be escaped too ('"' twice for values, '[' and ']' for keys).
    static QString escape(QStringView text, QChar open, QChar close);
    // Reads escaped text from *pos up to the unescaped end character and
    // leaves *pos after it; false when the line ends first.
    static bool unescape(QStringView line, qsizetype *pos, QChar end, QString *out);

private:
    struct Value
    {
        QString name;
        qsizetype line = 0;
        qsizetype count = 1; // continuation lines included
    };
    struct Section
    {
        QStringList key; // the path's names
        qsizetype header = 0;
        qsizetype timeLine = -1;
        qsizetype end = 0; // after the section's last option or value line
        QList<Value> values;
    };

    void parse();
    QString valuePath(const QString &key, const QString &name) const;
    void touch(const Section &section, const QDateTime &now);

    TextLines m_lines;
    QString m_rootName;
    bool m_known = false;
    QString m_arch;
    QList<Section> m_sections;
};
