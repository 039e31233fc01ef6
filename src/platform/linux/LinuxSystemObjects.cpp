#include "LinuxSystemObjects.h"

#include "RegistryFileShell.h"

LinuxSystemObjects::LinuxSystemObjects(const QString &registryFilePath, MessageBoxes &messageBoxes)
    : m_registryFilePath(registryFilePath)
    , m_messageBoxes(messageBoxes)
{
}

std::unique_ptr<IMessenger> LinuxSystemObjects::createMessengerApi(QString *error)
{
    *error = QStringLiteral("The Messenger automation object does not exist on this system.");
    return nullptr;
}

std::unique_ptr<WshShell> LinuxSystemObjects::createShellObject(QString *)
{
    return std::make_unique<RegistryFileShell>(m_registryFilePath, m_messageBoxes);
}
