// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Messenger.h"
#include "Registry.h"

#include <memory>

// Creates the two objects start-up keeps for the whole run.
class SystemObjects
{
public:
    virtual ~SystemObjects() = default;
    // The Messenger automation object; null and a reason when it cannot be created.
    virtual std::unique_ptr<Messenger> createMessenger(QString *error) = 0;
    // The registry; null and a reason when it cannot be created.
    virtual std::unique_ptr<Registry> createRegistry(QString *error) = 0;
};
