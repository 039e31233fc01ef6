#include "WindowsSystemObjects.h"

#include "WindowsMessenger.h"
#include "WindowsRegistryShell.h"

std::unique_ptr<IMessenger> WindowsSystemObjects::createMessengerApi(QString *error)
{
    if (!nexolan::win32::isMessengerClassRegistered()) {
        *error = QStringLiteral("Messenger's automation object %1 is not registered on this computer.")
                     .arg(QString::fromWCharArray(nexolan::win32::messengerClassId));
        return nullptr;
    }
    return std::make_unique<WindowsMessenger>();
}

std::unique_ptr<WshShell> WindowsSystemObjects::createShellObject(QString *)
{
    return std::make_unique<WindowsRegistryShell>();
}
