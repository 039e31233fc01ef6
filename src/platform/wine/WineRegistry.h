// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "WineHelper.h"
#include "WinePrefix.h"
#include "platform/Registry.h"

#include <QCoreApplication>

// HKEY_CURRENT_USER of a Wine prefix. While no wineserver runs for the
// prefix, its user.reg is the registry: values are read from it at once, and
// changed in it under a lock by an atomic replacement. While a server runs it
// owns the registry (it would save its own copy over the file), so the helper
// program reads and writes through it, without blocking: one run reads all
// the values asked for, one run writes and reads back. After a run that
// fails, the value is read back again, so that the caller learns what Wine
// kept.
class WineRegistry : public Registry
{
    Q_DECLARE_TR_FUNCTIONS(WineRegistry)

public:
    // helperDirectory holds the helper programs; each of their runs is
    // killed after the time limit.
    WineRegistry(const WinePrefix &prefix, const QString &helperDirectory, int helperTimeoutMilliseconds = 10000);

    void read(const QStringList &paths, ReadDone done) override;
    void write(const QString &path, const QString &value, WriteDone done) override;
    // The prefix's folder.
    QString location() const override;

private:
    RegistryReading readFile(const QString &path) const;
    bool writeFile(const QString &path, const QString &value, QString *error);
    void readThroughServer(const WineServer &server, const QStringList &paths, ReadDone done);
    void writeThroughServer(const WineServer &server, const QString &path, const QString &value, WriteDone done);

    WinePrefix m_prefix;
    WineHelper m_helper; // its runs, and their answers, end with this object
};
