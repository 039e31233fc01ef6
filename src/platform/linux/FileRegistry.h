// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Registry.h"

class MessageBoxes;

// The registry on a machine without one: a registry export file, read at
// every read and replaced atomically, under a lock, at every write.
class FileRegistry : public ImmediateRegistry
{
public:
    // Files larger than this are not read.
    static constexpr qint64 SizeLimit = 16 * 1024 * 1024;

    // A file too large to read is reported once in a box, then read as if
    // it held no values.
    FileRegistry(const QString &filePath, MessageBoxes &messageBoxes);

    bool readValue(const QString &path, RegistryValue *value, QString *error) override;
    bool writeValue(const QString &path, const QString &value, QString *error) override;
    QString location() const override;

    // How long a write waits for another program's lock on the file.
    void setLockWait(int milliseconds) { m_lockWait = milliseconds; }

private:
    bool readFile(QByteArray *content, QString *error);

    QString m_filePath;
    MessageBoxes &m_messageBoxes;
    bool m_oversizeReported = false;
    int m_lockWait = 3000;
};
