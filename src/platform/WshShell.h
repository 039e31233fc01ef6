#pragma once

#include "core/RegistryValue.h"

#include <QString>

// The registry, read and written by full path such as
// "HKEY_CURRENT_USER\Software\Microsoft\MSNMessenger\Server".
class WshShell
{
public:
    virtual ~WshShell() = default;
    // A missing key or value is an error, never an empty result.
    virtual bool RegRead(const QString &path, RegValue *value, QString *error) = 0;
    // Creates or replaces a string value, creating its key as needed.
    virtual bool RegWrite(const QString &path, const QString &value, QString *error) = 0;
    // Where the values live, for the user: a file, a Wine prefix, the registry.
    virtual QString location() const = 0;
};
