#pragma once

#include "core/RegistryValue.h"

#include <QString>

// The registry, read and written by full path such as
// "HKEY_CURRENT_USER\Software\Microsoft\MSNMessenger\Server".
class Registry
{
public:
    virtual ~Registry() = default;
    // A missing key or value is an error, never an empty result.
    virtual bool read(const QString &path, RegistryValue *value, QString *error) = 0;
    // Creates or replaces a string value, creating its key as needed.
    virtual bool write(const QString &path, const QString &value, QString *error) = 0;
    // Where the values live, for the user: a file, a Wine prefix, the registry.
    virtual QString location() const = 0;
};
