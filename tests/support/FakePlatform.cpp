#include "FakePlatform.h"

bool FakeShell::RegRead(const QString &path, RegValue *value, QString *error)
{
    const auto found = values.constFind(path.toLower());
    if (found == values.constEnd()) {
        *error = QStringLiteral("Unable to open registry key \"%1\" for reading.").arg(path);
        return false;
    }
    *value = *found;
    return true;
}

bool FakeShell::RegWrite(const QString &path, const QString &value, QString *error)
{
    if (failWrites) {
        *error = writeError;
        return false;
    }
    values.insert(path.toLower(), RegValue::fromText(value));
    writes.append(path + QLatin1Char('=') + value);
    return true;
}

bool FakeMessenger::Signout(QString *error)
{
    ++signouts;
    if (failSignout) {
        *error = QStringLiteral("Not signed in.");
        return false;
    }
    return true;
}

std::unique_ptr<IMessenger> FakePlatform::createMessengerApi(QString *error)
{
    if (!messengerAvailable) {
        *error = QStringLiteral("Class not registered.");
        messenger = nullptr;
        return nullptr;
    }
    auto created = std::make_unique<FakeMessenger>();
    created->failSignout = failSignout;
    messenger = created.get();
    return created;
}

std::unique_ptr<WshShell> FakePlatform::createShellObject(QString *error)
{
    if (!shellAvailable) {
        *error = QStringLiteral("ActiveX component can't create object.");
        shell = nullptr;
        return nullptr;
    }
    auto created = std::make_unique<FakeShell>();
    created->values = registry;
    created->failWrites = failRegistryWrites;
    shell = created.get();
    return created;
}

void FakePlatform::setRegistryValue(const QString &path, const RegValue &value)
{
    registry.insert(path.toLower(), value);
}

QString FakePlatform::GetUserSetting(const QString &appName, const QString &section, const QString &key,
                                     const QString &defaultValue)
{
    if (settingsBroken)
        return defaultValue;
    return settings.value(appName + QLatin1Char('/') + section + QLatin1Char('/') + key, defaultValue);
}

bool FakePlatform::SaveUserSetting(const QString &appName, const QString &section, const QString &key,
                                   const QString &value)
{
    if (settingsBroken)
        return false;
    settings.insert(appName + QLatin1Char('/') + section + QLatin1Char('/') + key, value);
    return true;
}

bool FakePlatform::readWholeFile(const QString &path, QByteArray *bytes)
{
    return !failFileReads && Platform::readWholeFile(path, bytes);
}

void FakePlatform::ShowMessageBox(const QString &text, int style)
{
    messageBoxes.append({text, style});
    events.append(QStringLiteral("box:") + QString::number(style));
    if (onMessageBox)
        onMessageBox(messageBoxes.last());
}

void FakePlatform::ShellOpen(const QString &url)
{
    openedUrls.append(url);
    events.append(QStringLiteral("open:") + url);
}
