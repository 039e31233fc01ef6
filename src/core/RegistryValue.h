// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// A registry value as read back: a text (string value) or a number (dword).
struct RegistryValue
{
    enum class Kind { Text, Number };
    Kind kind = Kind::Text;
    QString text;
    quint32 number = 0;

    static RegistryValue fromText(const QString &text) { return {Kind::Text, text, 0}; }
    static RegistryValue fromNumber(quint32 number) { return {Kind::Number, QString(), number}; }
    // The value as text: a number in decimal.
    QString toText() const { return kind == Kind::Text ? text : QString::number(number); }
};

// Splits a registry path such as "HKEY_CURRENT_USER\Software\Nexolan\Value"
// into its key ("HKEY_CURRENT_USER\Software\Nexolan") and value name. Only
// keys under HKEY_CURRENT_USER are accepted; false and a reason otherwise.
bool splitRegistryPath(const QString &path, QString *key, QString *valueName, QString *error);

// True when the text holds a control character (a line break, NUL, ...),
// which no line of a text store can hold as it is.
bool hasControlCharacter(QStringView text);
