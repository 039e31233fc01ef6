#pragma once

#include "platform/SystemObjects.h"

class MessageBoxes;

// The registry and Messenger on Linux. Without a Wine prefix that holds
// Messenger there is no Messenger automation object, and the registry is a
// registry export file in the user's configuration folder.
class LinuxSystemObjects : public SystemObjects
{
public:
    LinuxSystemObjects(const QString &registryFilePath, MessageBoxes &messageBoxes);

    std::unique_ptr<IMessenger> createMessengerApi(QString *error) override;
    std::unique_ptr<WshShell> createShellObject(QString *error) override;

private:
    QString m_registryFilePath;
    MessageBoxes &m_messageBoxes;
};
