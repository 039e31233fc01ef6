#include "WindowsRegistryShell.h"

#include "WinRegistry.h"

bool WindowsRegistryShell::RegRead(const QString &path, RegValue *value, QString *error)
{
    nexolan::win32::RegistryValue stored;
    std::wstring errorText;
    if (!nexolan::win32::readRegistryValue(path.toStdWString(), stored, errorText)) {
        *error = QString::fromStdWString(errorText);
        return false;
    }
    *value = stored.kind == nexolan::win32::RegistryValue::Kind::Number
        ? RegValue::fromNumber(stored.number)
        : RegValue::fromText(QString::fromStdWString(stored.text));
    return true;
}

bool WindowsRegistryShell::RegWrite(const QString &path, const QString &value, QString *error)
{
    std::wstring errorText;
    if (!nexolan::win32::writeRegistryText(path.toStdWString(), value.toStdWString(), errorText)) {
        *error = QString::fromStdWString(errorText);
        return false;
    }
    return true;
}

QString WindowsRegistryShell::location() const
{
    return QStringLiteral("the Windows registry");
}
