// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "WinePrefix.h"
#include "platform/SystemObjects.h"

#include <QCoreApplication>

// The registry and Messenger of the Wine prefix found at start-up. Where no
// prefix holds Messenger and WINEPREFIX is unset, both are null with the
// reason, and the caller keeps to its own registry file. Where the prefix is
// wrong, ambiguous or another user's, the registry fails every read and
// write with the reason, so that nothing is marked or written anywhere.
class WineSystemObjects : public SystemObjects
{
    Q_DECLARE_TR_FUNCTIONS(WineSystemObjects)

public:
    // helperDirectory holds nexolan-messenger-x64.exe and -x86.exe.
    WineSystemObjects(const WinePrefixSearch &search, const QString &helperDirectory);

    // Only where Messenger's automation class is registered and the helper
    // program is present.
    std::unique_ptr<Messenger> createMessenger(QString *error) override;
    std::unique_ptr<Registry> createRegistry(QString *error) override;

private:
    WinePrefixSearch m_search;
    QString m_helperDirectory;
};
