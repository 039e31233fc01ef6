#pragma once

#include "Platform.h"

// The desktop on Linux. There is no Messenger automation object; the registry
// is a registry export file and the settings an INI file, both in the user's
// configuration directory ($XDG_CONFIG_HOME/Nexolan, by default ~/.config/Nexolan).
class LinuxPlatform : public Platform
{
public:
    LinuxPlatform();

    std::unique_ptr<IMessenger> createMessengerApi(QString *error) override;
    std::unique_ptr<WshShell> createShellObject(QString *error) override;

    QString GetUserSetting(const QString &appName, const QString &section, const QString &key,
                           const QString &defaultValue) override;
    bool SaveUserSetting(const QString &appName, const QString &section, const QString &key,
                         const QString &value) override;

    QString applicationDirPath() override;
    QString executableBaseName() override;

    void ShowMessageBox(const QString &text, int style) override;
    void ShellOpen(const QString &url) override;

    // $XDG_CONFIG_HOME/Nexolan, or ~/.config/Nexolan.
    static QString configDirectory();
    static QString registryFilePath();

private:
    QString settingsFilePath(const QString &appName) const;
};
