#include "LinuxSystemObjects.h"

#include "RegistryFileShell.h"

LinuxSystemObjects::LinuxSystemObjects(const QString &registryFilePath, MessageBoxes &messageBoxes,
                                       std::unique_ptr<SystemObjects> wine)
    : m_registryFilePath(registryFilePath)
    , m_messageBoxes(messageBoxes)
    , m_wine(std::move(wine))
{
}

LinuxSystemObjects::~LinuxSystemObjects() = default;

std::unique_ptr<IMessenger> LinuxSystemObjects::createMessengerApi(QString *error)
{
    if (m_wine)
        return m_wine->createMessengerApi(error);
    *error = QStringLiteral("The Messenger automation object does not exist on this system.");
    return nullptr;
}

std::unique_ptr<WshShell> LinuxSystemObjects::createShellObject(QString *error)
{
    if (m_wine) {
        if (auto shell = m_wine->createShellObject(error))
            return shell;
    }
    return std::make_unique<RegistryFileShell>(m_registryFilePath, m_messageBoxes);
}
