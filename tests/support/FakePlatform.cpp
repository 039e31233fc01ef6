// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakePlatform.h"

namespace {

// Messenger and the registry of the fake machine, which record and answer;
// the registry answers at once and reads back what it holds.
class FakeObject : public Messenger, public ImmediateRegistry
{
public:
    explicit FakeObject(FakePlatform &fake)
        : m_fake(fake)
    { }
    void signOut(Done done) override
    {
        m_fake.events.append(QStringLiteral("signout"));
        m_fake.held = [done] { done(false, QStringLiteral("Messenger is not running.")); };
    }
    bool readValue(const QString &path, RegistryValue *value, QString *) override
    {
        *value = m_fake.registry.value(path.toLower());
        return m_fake.registry.contains(path.toLower());
    }
    bool writeValue(const QString &path, const QString &value, QString *error) override
    {
        m_fake.events.append(QStringLiteral("write:") + path + QLatin1Char('=') + value);
        using Writes = FakePlatform::Writes;
        if (m_fake.writes == Writes::Stored || m_fake.writes == Writes::RefusedButStored)
            setRegistryText(m_fake, path, value);
        *error = QStringLiteral("Access denied.");
        return m_fake.writes == Writes::Stored || m_fake.writes == Writes::PutBack;
    }
    QString location() const override { return QStringLiteral("memory"); }

private:
    FakePlatform &m_fake;
};

} // namespace

std::unique_ptr<Messenger> FakePlatform::createMessenger(QString *)
{
    return std::make_unique<FakeObject>(*this);
}

std::unique_ptr<Registry> FakePlatform::createRegistry(QString *)
{
    return std::make_unique<FakeObject>(*this);
}
