// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakePlatform.h"

#include <utility>

namespace {

// Answers at once, or holds the answers until the test calls answerRead or answerWrite.
class FakeRegistry : public Registry
{
public:
    explicit FakeRegistry(FakePlatform &fake)
        : m_fake(fake)
    { }
    void read(const QStringList &paths, ReadDone done) override
    {
        m_fake.answerRead = [this, paths, done] {
            QList<RegistryReading> readings;
            for (const QString &path : paths)
                readings.append(stored(path));
            done(readings);
        };
        if (!m_fake.readsLater)
            std::exchange(m_fake.answerRead, nullptr)();
    }
    void write(const QString &path, const QString &value, WriteDone done) override
    {
        m_fake.events.append(QStringLiteral("write:") + path + QLatin1Char('=') + value);
        m_fake.answerWrite = [this, path, value, done] {
            if (!m_fake.failWrites || m_fake.failWritesAfterStoring)
                m_fake.registry.insert(path.toLower(), RegistryValue::fromText(value));
            done(!m_fake.failWrites, QStringLiteral("Access denied."), stored(path));
        };
        if (!m_fake.writesLater)
            std::exchange(m_fake.answerWrite, nullptr)();
    }
    QString location() const override { return QStringLiteral("memory"); }

private:
    RegistryReading stored(const QString &path) const
    {
        RegistryReading reading;
        reading.ok = m_fake.registry.contains(path.toLower());
        reading.value = m_fake.registry.value(path.toLower());
        reading.error = QStringLiteral("The registry value does not exist.");
        return reading;
    }

    FakePlatform &m_fake;
};

class FakeMessenger : public Messenger
{
public:
    explicit FakeMessenger(FakePlatform &fake)
        : m_fake(fake)
    { }
    void signOut(Done done) override
    {
        m_fake.events.append(QStringLiteral("signout"));
        m_fake.answerSignOut = [done] { done(false, QStringLiteral("Messenger is not running.")); };
        if (!m_fake.signOutLater)
            std::exchange(m_fake.answerSignOut, nullptr)();
    }

private:
    FakePlatform &m_fake;
};

} // namespace

FakePlatform::FakePlatform(const QString &programDirectory)
    : platform{*this, *this, *this, *this, clock, *connector, programDirectory, QStringLiteral("nexolan")}
{ }

std::unique_ptr<Messenger> FakePlatform::createMessenger(QString *error)
{
    *error = QStringLiteral("No Messenger here.");
    return messengerAvailable ? std::make_unique<FakeMessenger>(*this) : nullptr;
}

std::unique_ptr<Registry> FakePlatform::createRegistry(QString *)
{
    return std::make_unique<FakeRegistry>(*this);
}

void FakePlatform::showMessage(const QString &text, MessageStyle style)
{
    const char *const styleNames[] = {"error", "information", "system-modal"};
    events.append(QStringLiteral("box:%1:%2").arg(QLatin1String(styleNames[int(style)]), text));
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
