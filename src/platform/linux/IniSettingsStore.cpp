// SPDX-License-Identifier: GPL-3.0-or-later
#include "IniSettingsStore.h"

#include "FileOwner.h"
#include "core/IniFile.h"
#include "core/StoreFile.h"

IniSettingsStore::IniSettingsStore(const QString &folder)
    : m_folder(folder)
{ }

QString IniSettingsStore::filePath(const QString &appName) const
{
    return m_folder + QLatin1Char('/') + appName + QStringLiteral(".ini");
}

QString IniSettingsStore::value(const QString &appName, const QString &section, const QString &key,
                                const QString &defaultValue)
{
    QByteArray content;
    QString error;
    if (StoreFile::read(filePath(appName), SizeLimit, &content, &error) != StoreFile::ReadStatus::Ok)
        return defaultValue;
    return IniFile(content).value(section, key).value_or(defaultValue);
}

bool IniSettingsStore::setValue(const QString &appName, const QString &section, const QString &key,
                                const QString &value)
{
    const QString path = filePath(appName);
    QString error;
    StoreLock lock(path);
    if (!lock.lock(&error))
        return false;
    QByteArray content;
    const auto status = StoreFile::read(path, SizeLimit, &content, &error);
    if (status != StoreFile::ReadStatus::Ok && status != StoreFile::ReadStatus::Missing)
        return false;
    IniFile file(content);
    return file.setValue(section, key, value) && StoreFile::replace(path, file.content(), &error, keepFileOwner);
}
