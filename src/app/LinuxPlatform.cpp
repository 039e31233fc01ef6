#include "LinuxPlatform.h"

#include "RegistryFile.h"
#include "modServers.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>

LinuxPlatform::LinuxPlatform() = default;

QString LinuxPlatform::configDirectory()
{
    return JoinPath(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation),
                    QStringLiteral("Nexolan"));
}

QString LinuxPlatform::registryFilePath()
{
    return JoinPath(configDirectory(), QStringLiteral("registry.reg"));
}

QString LinuxPlatform::settingsFilePath(const QString &appName) const
{
    return JoinPath(configDirectory(), appName + QStringLiteral(".ini"));
}

std::unique_ptr<IMessenger> LinuxPlatform::createMessengerApi(QString *error)
{
    *error = QStringLiteral("The Messenger automation object does not exist on this system.");
    return nullptr;
}

std::unique_ptr<WshShell> LinuxPlatform::createShellObject(QString *)
{
    return std::make_unique<RegistryFileShell>(registryFilePath());
}

QString LinuxPlatform::GetUserSetting(const QString &appName, const QString &section, const QString &key,
                                      const QString &defaultValue)
{
    QSettings settings(settingsFilePath(appName), QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        return defaultValue;
    settings.beginGroup(section);
    return settings.value(key, defaultValue).toString();
}

bool LinuxPlatform::SaveUserSetting(const QString &appName, const QString &section, const QString &key,
                                    const QString &value)
{
    QSettings settings(settingsFilePath(appName), QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        return false; // a file that cannot be parsed is left as it is
    settings.beginGroup(section);
    settings.setValue(key, value);
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError;
}

QString LinuxPlatform::applicationDirPath()
{
    return QCoreApplication::applicationDirPath();
}

QString LinuxPlatform::executableBaseName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

void LinuxPlatform::ShowMessageBox(const QString &text, int style)
{
    QMessageBox box;
    box.setWindowTitle(ApplicationTitle);
    box.setTextFormat(Qt::PlainText);
    // Texts break their lines with CR LF; a label breaks them at LF alone.
    box.setText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    box.setIcon((style & MB_ICONERROR) == MB_ICONERROR ? QMessageBox::Critical : QMessageBox::Information);
    box.setStandardButtons(QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    if (style & MB_SYSTEMMODAL)
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

void LinuxPlatform::ShellOpen(const QString &url)
{
    QDesktopServices::openUrl(QUrl(url));
}
