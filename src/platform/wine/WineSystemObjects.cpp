#include "WineSystemObjects.h"

#include "WineMessenger.h"
#include "WineRegistry.h"

#include <QDir>

namespace {

// The registry where the user's Wine setup is wrong or ambiguous: nothing is
// read or written, and every attempt gives the reason, so that no row is
// marked and a switch fails saying why.
class UnavailableRegistry : public ImmediateRegistry
{
public:
    explicit UnavailableRegistry(const QString &reason) : m_reason(reason) { }
    bool readValue(const QString &, RegistryValue *, QString *error) override
    {
        *error = m_reason;
        return false;
    }
    bool writeValue(const QString &, const QString &, QString *error) override
    {
        *error = m_reason;
        return false;
    }
    QString location() const override { return WineSystemObjects::tr("none. %1").arg(m_reason); }

private:
    QString m_reason;
};

} // namespace

WineSystemObjects::WineSystemObjects(const WinePrefixSearch &search, const QString &helperDirectory)
    : m_search(search)
    , m_helperDirectory(helperDirectory)
{ }

std::unique_ptr<Messenger> WineSystemObjects::createMessenger(QString *error)
{
    const WineHelper helper(m_helperDirectory);
    if (!m_search.prefix)
        *error = m_search.reason;
    else if (!m_search.prefix->hasMessengerClass())
        *error = tr("Messenger's automation object is not registered in the Wine prefix %1.")
                     .arg(m_search.prefix->path());
    else if (!helper.exists())
        *error = tr("The helper program nexolan-messenger is missing from %1.")
                     .arg(QDir::toNativeSeparators(m_helperDirectory));
    else
        return std::make_unique<WineMessenger>(*m_search.prefix, m_helperDirectory);
    return nullptr;
}

std::unique_ptr<Registry> WineSystemObjects::createRegistry(QString *error)
{
    if (!m_search.prefix) {
        *error = m_search.reason;
        if (m_search.noneFound)
            return nullptr;
        return std::make_unique<UnavailableRegistry>(m_search.reason);
    }
    return std::make_unique<WineRegistry>(*m_search.prefix, m_helperDirectory);
}
