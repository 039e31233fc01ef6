// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowsRegistry.h"

#include "WinRegistry.h"

bool WindowsRegistry::readValue(const QString &path, RegistryValue *value, QString *error)
{
    nexolan::win32::RegistryValue stored;
    std::wstring errorText;
    if (!nexolan::win32::readRegistryValue(path.toStdWString(), stored, errorText)) {
        *error = QString::fromStdWString(errorText);
        return false;
    }
    *value = stored.kind == nexolan::win32::RegistryValue::Kind::Number
        ? RegistryValue::fromNumber(stored.number)
        : RegistryValue::fromText(QString::fromStdWString(stored.text));
    return true;
}

bool WindowsRegistry::writeValue(const QString &path, const QString &value, QString *error)
{
    std::wstring errorText;
    if (!nexolan::win32::writeRegistryText(path.toStdWString(), value.toStdWString(), errorText)) {
        *error = QString::fromStdWString(errorText);
        return false;
    }
    return true;
}

QString WindowsRegistry::location() const
{
    return tr("the Windows registry");
}
