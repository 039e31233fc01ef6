#include "FakePlatform.h"

namespace {

class FakeShell : public WshShell
{
public:
    explicit FakeShell(FakePlatform &fake)
        : m_fake(fake)
    {
    }
    bool RegRead(const QString &path, RegValue *value, QString *error) override
    {
        const auto found = m_fake.registry.constFind(path.toLower());
        if (found == m_fake.registry.cend()) {
            *error = QStringLiteral("The registry value does not exist.");
            return false;
        }
        *value = *found;
        return true;
    }
    bool RegWrite(const QString &path, const QString &value, QString *error) override
    {
        m_fake.events.append(QStringLiteral("write:") + path + QLatin1Char('=') + value);
        if (m_fake.failWrites) {
            *error = QStringLiteral("Access denied.");
            return false;
        }
        m_fake.registry.insert(path.toLower(), RegValue::fromText(value));
        return true;
    }
    QString location() const override { return QStringLiteral("memory"); }

private:
    FakePlatform &m_fake;
};

class FakeMessenger : public IMessenger
{
public:
    explicit FakeMessenger(FakePlatform &fake)
        : m_fake(fake)
    {
    }
    bool Signout(QString *error) override
    {
        m_fake.events.append(QStringLiteral("signout"));
        if (m_fake.failSignout)
            *error = QStringLiteral("Messenger is not running.");
        return !m_fake.failSignout;
    }

private:
    FakePlatform &m_fake;
};

} // namespace

FakePlatform::FakePlatform(const QString &programDirectory)
    : platform{*this, *this, *this, *this, clock, programDirectory, QStringLiteral("nexolan")}
{
}

std::unique_ptr<IMessenger> FakePlatform::createMessengerApi(QString *error)
{
    if (!messengerAvailable) {
        *error = QStringLiteral("No Messenger here.");
        return nullptr;
    }
    return std::make_unique<FakeMessenger>(*this);
}

std::unique_ptr<WshShell> FakePlatform::createShellObject(QString *)
{
    return std::make_unique<FakeShell>(*this);
}

QString FakePlatform::GetUserSetting(const QString &, const QString &, const QString &key, const QString &defaultValue)
{
    return settings.value(key, defaultValue);
}

bool FakePlatform::SaveUserSetting(const QString &, const QString &, const QString &key, const QString &value)
{
    events.append(QStringLiteral("save:") + key + QLatin1Char('=') + value);
    settings.insert(key, value);
    return true;
}

void FakePlatform::ShowMessageBox(const QString &text, int style)
{
    events.append(QStringLiteral("box:%1:%2").arg(style).arg(text));
    if (onMessageBox)
        onMessageBox(text, style);
}

void FakePlatform::ShellOpen(const QString &url)
{
    events.append(QStringLiteral("open:") + url);
}

QStringList FakePlatform::eventsOf(const QString &kind) const
{
    QStringList result;
    const QString prefix = kind + QLatin1Char(':');
    for (const QString &event : events) {
        if (event == kind)
            result.append(QString());
        else if (event.startsWith(prefix))
            result.append(event.mid(prefix.size()));
    }
    return result;
}

void setRegistryText(FakePlatform &fake, const QString &path, const QString &text)
{
    fake.registry.insert(path.toLower(), RegValue::fromText(text));
}
