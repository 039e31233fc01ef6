// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/SettingsStore.h"

// The settings where Visual Basic programs keep theirs, so that values an
// earlier version stored (the launch counter) carry over: each is a string
// value <key> of HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<app>\<section>.
class RegistrySettingsStore : public SettingsStore
{
public:
    // The registry path of one setting's value.
    static QString valuePath(const QString &appName, const QString &section, const QString &key);

    QString value(const QString &appName, const QString &section, const QString &key,
                  const QString &defaultValue) override;
    bool setValue(const QString &appName, const QString &section, const QString &key, const QString &value) override;
};
