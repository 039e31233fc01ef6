// SPDX-License-Identifier: GPL-3.0-or-later
#include "RegistrySettingsStore.h"

#include "WinRegistry.h"

namespace {

// A backslash in a name would move the value to another key; an empty
// application or section name would leave a key out of the path.
bool validNames(const QString &appName, const QString &section, const QString &key)
{
    const QChar separator = QLatin1Char('\\');
    return !appName.isEmpty() && !section.isEmpty() && !appName.contains(separator) && !section.contains(separator)
        && !key.contains(separator);
}

} // namespace

QString RegistrySettingsStore::valuePath(const QString &appName, const QString &section, const QString &key)
{
    return QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\%1\\%2\\%3")
        .arg(appName, section, key);
}

QString RegistrySettingsStore::value(const QString &appName, const QString &section, const QString &key,
                                     const QString &defaultValue)
{
    if (!validNames(appName, section, key))
        return defaultValue;
    nexolan::win32::RegistryValue value;
    std::wstring errorText;
    if (!nexolan::win32::readRegistryValue(valuePath(appName, section, key).toStdWString(), value, errorText))
        return defaultValue;
    // Settings are stored as strings; a number put there by hand reads as its digits.
    return value.kind == nexolan::win32::RegistryValue::Kind::Number ? QString::number(value.number)
                                                                     : QString::fromStdWString(value.text);
}

bool RegistrySettingsStore::setValue(const QString &appName, const QString &section, const QString &key,
                                     const QString &value)
{
    if (!validNames(appName, section, key))
        return false;
    std::wstring errorText;
    return nexolan::win32::writeRegistryText(valuePath(appName, section, key).toStdWString(), value.toStdWString(),
                                             errorText);
}
