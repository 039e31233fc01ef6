// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileRegistry.h"

#include "FileOwner.h"
#include "core/RegistryFile.h"
#include "core/StoreFile.h"
#include "platform/MessageBoxes.h"

#include <QDir>

FileRegistry::FileRegistry(const QString &filePath, MessageBoxes &messageBoxes)
    : m_filePath(filePath)
    , m_messageBoxes(messageBoxes)
{ }

bool FileRegistry::readFile(QByteArray *content, QString *error)
{
    switch (StoreFile::read(m_filePath, SizeLimit, content, error)) {
    case StoreFile::ReadStatus::Ok:
    case StoreFile::ReadStatus::Missing: return true;
    case StoreFile::ReadStatus::TooLarge:
        if (!m_oversizeReported) {
            m_oversizeReported = true;
            m_messageBoxes.showMessage(*error, MessageStyle::Error);
        }
        return false;
    case StoreFile::ReadStatus::Failed: break;
    }
    return false;
}

QString FileRegistry::location() const
{
    return QDir::toNativeSeparators(m_filePath);
}

bool FileRegistry::readValue(const QString &path, RegistryValue *value, QString *error)
{
    QString key, valueName;
    if (!splitRegistryPath(path, &key, &valueName, error))
        return false;
    QByteArray content;
    return readFile(&content, error) && RegistryFile(content).read(key, valueName, value, error);
}

bool FileRegistry::writeValue(const QString &path, const QString &value, QString *error)
{
    QString key, valueName;
    if (!splitRegistryPath(path, &key, &valueName, error))
        return false;
    StoreLock lock(m_filePath, m_lockWait);
    if (!lock.lock(error))
        return false;
    QByteArray content;
    if (!readFile(&content, error))
        return false;
    RegistryFile registry(content);
    return registry.write(key, valueName, value, error)
        && StoreFile::replace(m_filePath, registry.content(), error, keepFileOwner);
}
