#include "WineMessenger.h"

WineMessenger::WineMessenger(const WinePrefix &prefix, const WineHelper &helper)
    : m_prefix(prefix)
    , m_helper(helper)
{ }

bool WineMessenger::signOut(QString *error)
{
    // Without a running client the call would only start one.
    const std::optional<WineServer> server = m_prefix.server();
    if (!server || !m_prefix.isMessengerRunning()) {
        *error = QStringLiteral("Messenger is not running in the Wine prefix %1.").arg(m_prefix.path());
        return false;
    }
    QByteArray ignored;
    return m_helper.run(m_prefix, *server, {QStringLiteral("signout")}, &ignored, error);
}
