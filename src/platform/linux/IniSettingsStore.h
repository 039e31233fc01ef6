// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/SettingsStore.h"

// The settings as INI files, one per application ("<folder>/<app>.ini"),
// read and changed line by line so that nothing else in them changes.
class IniSettingsStore : public SettingsStore
{
public:
    static constexpr qint64 SizeLimit = 1024 * 1024;

    explicit IniSettingsStore(const QString &folder);

    QString value(const QString &appName, const QString &section, const QString &key,
                  const QString &defaultValue) override;
    bool setValue(const QString &appName, const QString &section, const QString &key, const QString &value) override;

private:
    QString filePath(const QString &appName) const;

    QString m_folder;
};
