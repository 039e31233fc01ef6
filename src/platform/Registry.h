// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/RegistryValue.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// A value as read: the value, or why it could not be read. A missing key or
// value is an error, never an empty value.
struct RegistryReading
{
    bool ok = false;
    RegistryValue value;
    QString error;
};

// The registry, read and written by full path such as
// "HKEY_CURRENT_USER\Software\Microsoft\MSNMessenger\Server".
//
// Reading and writing never block: a store that needs another program (a Wine
// prefix whose wineserver runs) answers later, from the event loop; a file or
// the system's registry answers at once, before the call returns. Each `done`
// runs once, unless the registry is destroyed first.
class Registry
{
public:
    using ReadDone = std::function<void(const QList<RegistryReading> &readings)>;
    // written: the write succeeded. stored: the value read back afterwards,
    // also after a failed write, so that the caller can show what is stored.
    using WriteDone = std::function<void(bool written, const QString &error, const RegistryReading &stored)>;

    virtual ~Registry() = default;
    // Reads the values, in one go where that is cheaper; one reading per
    // path, in their order.
    virtual void read(const QStringList &paths, ReadDone done) = 0;
    // Creates or replaces a string value, creating its key as needed, then
    // reads it back.
    virtual void write(const QString &path, const QString &value, WriteDone done) = 0;
    // Where the values live, for the user: a file, a Wine prefix, the registry.
    virtual QString location() const = 0;
};

// A registry that answers at once (a file, the system's registry, memory):
// implementations give the plain calls, on which the others are built.
class ImmediateRegistry : public Registry
{
public:
    // A missing key or value is an error, never an empty result.
    virtual bool readValue(const QString &path, RegistryValue *value, QString *error) = 0;
    // Creates or replaces a string value, creating its key as needed.
    virtual bool writeValue(const QString &path, const QString &value, QString *error) = 0;

    void read(const QStringList &paths, ReadDone done) final;
    void write(const QString &path, const QString &value, WriteDone done) final;
};

// The registry where the real one cannot be reached (the user's Wine setup is
// wrong or ambiguous): nothing is read or written, and every attempt gives the
// reason, so that no row is marked and a switch fails saying why.
class UnavailableRegistry : public ImmediateRegistry
{
public:
    explicit UnavailableRegistry(const QString &reason);

    bool readValue(const QString &path, RegistryValue *value, QString *error) override;
    bool writeValue(const QString &path, const QString &value, QString *error) override;
    QString location() const override;

private:
    QString m_reason;
};
