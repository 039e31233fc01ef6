// SPDX-License-Identifier: GPL-3.0-or-later
#include "LinuxSystemObjects.h"

#include "FileRegistry.h"

LinuxSystemObjects::LinuxSystemObjects(const QString &registryFilePath, MessageBoxes &messageBoxes,
                                       std::unique_ptr<SystemObjects> wine)
    : m_registryFilePath(registryFilePath)
    , m_messageBoxes(messageBoxes)
    , m_wine(std::move(wine))
{ }

LinuxSystemObjects::~LinuxSystemObjects() = default;

std::unique_ptr<Messenger> LinuxSystemObjects::createMessenger(QString *error)
{
    if (m_wine)
        return m_wine->createMessenger(error);
    *error = tr("The Messenger automation object does not exist on this system.");
    return nullptr;
}

std::unique_ptr<Registry> LinuxSystemObjects::createRegistry(QString *error)
{
    if (m_wine) {
        if (auto shell = m_wine->createRegistry(error))
            return shell;
    }
    return std::make_unique<FileRegistry>(m_registryFilePath, m_messageBoxes);
}
