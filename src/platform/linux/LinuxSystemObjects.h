// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/SystemObjects.h"

#include <QCoreApplication>

#include <memory>

class MessageBoxes;

// The registry and Messenger on Linux. Where Messenger runs under Wine, the
// objects of its Wine prefix serve; elsewhere there is no Messenger
// automation object, and the registry is a registry export file in the
// user's configuration folder.
class LinuxSystemObjects : public SystemObjects
{
    Q_DECLARE_TR_FUNCTIONS(LinuxSystemObjects)

public:
    // wine: the objects of the user's Wine prefix, or null.
    LinuxSystemObjects(const QString &registryFilePath, MessageBoxes &messageBoxes,
                       std::unique_ptr<SystemObjects> wine);
    ~LinuxSystemObjects() override;

    std::unique_ptr<Messenger> createMessenger(QString *error) override;
    std::unique_ptr<Registry> createRegistry(QString *error) override;

private:
    QString m_registryFilePath;
    MessageBoxes &m_messageBoxes;
    std::unique_ptr<SystemObjects> m_wine;
};
