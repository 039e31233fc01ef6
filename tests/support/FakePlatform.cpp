#include "FakePlatform.h"

namespace {

class FakeShell : public WshShell
{
public:
    explicit FakeShell(FakePlatform &fake) : m_fake(fake) { }
    bool RegRead(const QString &path, RegValue *value, QString *error) override
    {
        *error = QStringLiteral("The registry value does not exist.");
        *value = m_fake.registry.value(path.toLower());
        return m_fake.registry.contains(path.toLower());
    }
    bool RegWrite(const QString &path, const QString &value, QString *error) override
    {
        m_fake.events.append(QStringLiteral("write:") + path + QLatin1Char('=') + value);
        *error = QStringLiteral("Access denied.");
        if (!m_fake.failWrites)
            m_fake.registry.insert(path.toLower(), RegValue::fromText(value));
        return !m_fake.failWrites;
    }
    QString location() const override { return QStringLiteral("memory"); }

private:
    FakePlatform &m_fake;
};

class FakeMessenger : public IMessenger
{
public:
    explicit FakeMessenger(FakePlatform &fake) : m_fake(fake) { }
    bool Signout(QString *error) override
    {
        m_fake.events.append(QStringLiteral("signout"));
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
    *error = QStringLiteral("No Messenger here.");
    return messengerAvailable ? std::make_unique<FakeMessenger>(*this) : nullptr;
}

std::unique_ptr<WshShell> FakePlatform::createShellObject(QString *)
{
    return std::make_unique<FakeShell>(*this);
}

void FakePlatform::ShowMessageBox(const QString &text, int style)
{
    events.append(QStringLiteral("box:%1:%2").arg(style).arg(text));
    if (onMessageBox)
        onMessageBox(text, style);
}

QStringList FakePlatform::eventsOf(const QString &kind) const
{
    QStringList result;
    for (const QString &event : events) {
        if (event == kind || event.startsWith(kind + QLatin1Char(':')))
            result.append(event.mid(kind.size() + 1));
    }
    return result;
}
