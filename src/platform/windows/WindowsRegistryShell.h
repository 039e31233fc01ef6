#pragma once

#include "platform/WshShell.h"

// The Windows registry itself: string values read as text, DWORD values as
// numbers; writes store REG_SZ and create the key as needed. Paths under
// HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE (short forms HKCU, HKLM too).
class WindowsRegistryShell : public WshShell
{
public:
    bool RegRead(const QString &path, RegValue *value, QString *error) override;
    bool RegWrite(const QString &path, const QString &value, QString *error) override;
    QString location() const override;
};
