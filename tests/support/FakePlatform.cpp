#include "FakePlatform.h"

#include <utility>

namespace {

class FakeRegistry : public ImmediateRegistry
{
public:
    explicit FakeRegistry(FakePlatform &fake) : m_fake(fake) { }
    bool readValue(const QString &path, RegistryValue *value, QString *error) override
    {
        *error = QStringLiteral("The registry value does not exist.");
        *value = m_fake.registry.value(path.toLower());
        return m_fake.registry.contains(path.toLower());
    }
    bool writeValue(const QString &path, const QString &value, QString *error) override
    {
        m_fake.events.append(QStringLiteral("write:") + path + QLatin1Char('=') + value);
        *error = QStringLiteral("Access denied.");
        if (!m_fake.failWrites || m_fake.failWritesAfterStoring)
            m_fake.registry.insert(path.toLower(), RegistryValue::fromText(value));
        return !m_fake.failWrites;
    }
    QString location() const override { return QStringLiteral("memory"); }

private:
    FakePlatform &m_fake;
};

// Answers at once, or holds the answers until the test calls answerRead or answerWrite.
class LaterRegistry : public Registry
{
public:
    LaterRegistry(FakePlatform &fake, std::unique_ptr<Registry> inner) : m_fake(fake), m_inner(std::move(inner)) { }
    void read(const QStringList &paths, ReadDone done) override
    {
        m_fake.answerRead = [this, paths, done] { m_inner->read(paths, done); };
        if (!m_fake.readsLater)
            std::exchange(m_fake.answerRead, nullptr)();
    }
    void write(const QString &path, const QString &value, WriteDone done) override
    {
        m_fake.answerWrite = [this, path, value, done] { m_inner->write(path, value, done); };
        if (!m_fake.writesLater)
            std::exchange(m_fake.answerWrite, nullptr)();
    }
    QString location() const override { return m_inner->location(); }

private:
    FakePlatform &m_fake;
    std::unique_ptr<Registry> m_inner;
};

class FakeMessenger : public Messenger
{
public:
    explicit FakeMessenger(FakePlatform &fake) : m_fake(fake) { }
    void signOut(Done done) override
    {
        m_fake.events.append(QStringLiteral("signout"));
        const bool signedOut = !m_fake.failSignout;
        const auto answer = [done, signedOut] { done(signedOut, QStringLiteral("Messenger is not running.")); };
        if (m_fake.signOutLater)
            m_fake.answerSignOut = answer;
        else
            answer();
    }

private:
    FakePlatform &m_fake;
};

} // namespace

FakePlatform::FakePlatform(const QString &programDirectory)
    : platform{*this, *this, *this, *this, clock, *connector, programDirectory, QStringLiteral("nexolan")}
{
}

std::unique_ptr<Messenger> FakePlatform::createMessenger(QString *error)
{
    *error = QStringLiteral("No Messenger here.");
    return messengerAvailable ? std::make_unique<FakeMessenger>(*this) : nullptr;
}

std::unique_ptr<Registry> FakePlatform::createRegistry(QString *)
{
    return std::make_unique<LaterRegistry>(*this, std::make_unique<FakeRegistry>(*this));
}

static QString styleName(MessageStyle style)
{
    switch (style) {
    case MessageStyle::Error:
        return QStringLiteral("error");
    case MessageStyle::Information:
        return QStringLiteral("information");
    case MessageStyle::SystemModalInformation:
        return QStringLiteral("system-modal");
    }
    return QString();
}

void FakePlatform::showMessage(const QString &text, MessageStyle style)
{
    events.append(QStringLiteral("box:%1:%2").arg(styleName(style), text));
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
