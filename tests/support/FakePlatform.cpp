// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakePlatform.h"

#include <utility>

namespace {

// Messenger and the registry of the fake machine, which records and answers.
class FakeObject : public Messenger, public Registry
{
public:
    explicit FakeObject(FakePlatform &fake)
        : m_fake(fake)
    { }
    void signOut(Done done) override
    {
        m_fake.events.append(QStringLiteral("signout"));
        m_fake.answerOrHold([done] { done(false, QStringLiteral("Messenger is not running.")); });
    }
    void read(const QStringList &paths, ReadDone done) override
    {
        QList<RegistryReading> readings;
        for (const QString &path : paths)
            readings.append(m_fake.stored(path));
        done(readings);
    }
    void write(const QString &path, const QString &value, WriteDone done) override
    {
        m_fake.events.append(QStringLiteral("write:") + path + QLatin1Char('=') + value);
        m_fake.answerOrHold([this, path, value, done] {
            if (!m_fake.failWrites || m_fake.failWritesAfterStoring)
                setRegistryText(m_fake, path, value);
            done(!m_fake.failWrites, QStringLiteral("Access denied."), m_fake.stored(path));
        });
    }
    QString location() const override { return QStringLiteral("memory"); }

private:
    FakePlatform &m_fake;
};

} // namespace

FakePlatform::FakePlatform(const QString &programDirectory)
    : platform{*this, *this, *this, *this, clock, *connector, programDirectory, QStringLiteral("nexolan")}
{ }

std::unique_ptr<Messenger> FakePlatform::createMessenger(QString *)
{
    return std::make_unique<FakeObject>(*this);
}

std::unique_ptr<Registry> FakePlatform::createRegistry(QString *)
{
    return std::make_unique<FakeObject>(*this);
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

RegistryReading FakePlatform::stored(const QString &path) const
{
    const QString key = path.toLower();
    return {registry.contains(key), registry.value(key), QStringLiteral("The registry value does not exist.")};
}

void FakePlatform::answerOrHold(std::function<void()> answer)
{
    held = std::move(answer);
    if (!answersLater)
        answerHeld();
}

void FakePlatform::answerHeld()
{
    // A sign-out's answer starts the write, which is held in turn.
    while (held)
        std::exchange(held, nullptr)();
}
