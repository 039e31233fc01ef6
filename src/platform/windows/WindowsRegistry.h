// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Registry.h"

#include <QCoreApplication>

// The Windows registry itself: string values read as text, DWORD values as
// numbers; writes store REG_SZ and create the key as needed. Paths under
// HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE (short forms HKCU, HKLM too).
class WindowsRegistry : public ImmediateRegistry
{
    Q_DECLARE_TR_FUNCTIONS(WindowsRegistry)

public:
    bool readValue(const QString &path, RegistryValue *value, QString *error) override;
    bool writeValue(const QString &path, const QString &value, QString *error) override;
    QString location() const override;
};
