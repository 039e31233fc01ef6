#pragma once

#include "Platform.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Splits a registry path into its key and value name. Only keys under
// HKEY_CURRENT_USER are accepted; false and a reason otherwise.
bool splitRegistryPath(const QString &path, QString *key, QString *valueName, QString *error);

// A registry export file ("Windows Registry Editor Version 5.00") held as its
// lines. Reading understands string values ("Name"="text", with the \\ and \"
// escapes) and dword:XXXXXXXX numbers; "@" names a key's default value. Writing
// replaces or adds one line and leaves every other line as it stood, byte for
// byte: other keys and values, comments, blank lines and lines it cannot parse.
// Key and value names compare without regard to case, as in the registry.
class RegistryFile
{
public:
    explicit RegistryFile(const QByteArray &content = QByteArray());

    bool read(const QString &key, const QString &valueName, RegValue *value, QString *error) const;
    bool write(const QString &key, const QString &valueName, const QString &text, QString *error);

    QByteArray content() const;

private:
    struct ValueLine
    {
        qsizetype index = -1; // line of the last assignment, -1 when none
        qsizetype sectionEnd = -1; // after the last value line of the key's last section
    };
    ValueLine find(const QString &key, const QString &valueName) const;
    QByteArray newline() const;

    QList<QByteArray> m_lines; // each with its own line ending, if it had one
    bool m_utf16 = false;
};

// The registry on a machine without one: a registry export file in the user's
// configuration directory, read at every RegRead and replaced atomically at
// every RegWrite.
class RegistryFileShell : public WshShell
{
public:
    explicit RegistryFileShell(const QString &filePath);

    bool RegRead(const QString &path, RegValue *value, QString *error) override;
    bool RegWrite(const QString &path, const QString &value, QString *error) override;

    QString filePath() const { return m_filePath; }

private:
    QString m_filePath;
};
