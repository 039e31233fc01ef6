#pragma once

#include "WineHelper.h"
#include "WinePrefix.h"
#include "platform/Registry.h"

// HKEY_CURRENT_USER of a Wine prefix. While no wineserver runs for the
// prefix, its user.reg is the registry: values are read from it, and changed
// in it under a lock by an atomic replacement. While a server runs it owns
// the registry (it would save its own copy over the file), so the helper
// program reads and writes through it, and each write is read back.
class WineRegistry : public Registry
{
public:
    WineRegistry(const WinePrefix &prefix, const WineHelper &helper);

    bool read(const QString &path, RegistryValue *value, QString *error) override;
    bool write(const QString &path, const QString &value, QString *error) override;
    // The prefix's folder.
    QString location() const override;

private:
    bool readThroughServer(const WineServer &server, const QString &path, RegistryValue *value, QString *error);
    bool writeThroughServer(const WineServer &server, const QString &path, const QString &value, QString *error);
    bool readFile(QByteArray *content, QString *error) const;

    WinePrefix m_prefix;
    WineHelper m_helper;
};
