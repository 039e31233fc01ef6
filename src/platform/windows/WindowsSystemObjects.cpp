// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowsSystemObjects.h"

#include "WindowsMessenger.h"
#include "WindowsRegistry.h"

std::unique_ptr<Messenger> WindowsSystemObjects::createMessenger(QString *error)
{
    if (!nexolan::win32::isMessengerClassRegistered()) {
        *error = tr("Messenger's automation object %1 is not registered on this computer.")
                     .arg(QString::fromWCharArray(nexolan::win32::messengerClassId));
        return nullptr;
    }
    return std::make_unique<WindowsMessenger>();
}

std::unique_ptr<Registry> WindowsSystemObjects::createRegistry(QString *)
{
    return std::make_unique<WindowsRegistry>();
}
