// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The per-user application settings, addressed by application, section and key.
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;
    // The stored text, or the default when there is none or it cannot be read.
    virtual QString value(const QString &appName, const QString &section, const QString &key,
                          const QString &defaultValue) = 0;
    // Stores a text; false when the store cannot be written (it is then left
    // as it was).
    virtual bool setValue(const QString &appName, const QString &section, const QString &key, const QString &value) = 0;
};
