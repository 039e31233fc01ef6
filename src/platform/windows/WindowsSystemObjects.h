// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/SystemObjects.h"

#include <QCoreApplication>

// The registry and Messenger of this Windows computer.
class WindowsSystemObjects : public SystemObjects
{
    Q_DECLARE_TR_FUNCTIONS(WindowsSystemObjects)

public:
    // Only where Messenger's automation class is registered, for the user
    // or the machine.
    std::unique_ptr<Messenger> createMessenger(QString *error) override;
    std::unique_ptr<Registry> createRegistry(QString *error) override;
};
