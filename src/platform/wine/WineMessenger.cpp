// SPDX-License-Identifier: GPL-3.0-or-later
#include "WineMessenger.h"

WineMessenger::WineMessenger(const WinePrefix &prefix, const QString &helperDirectory)
    : m_prefix(prefix)
    , m_helper(helperDirectory)
{ }

void WineMessenger::signOut(Done done)
{
    // Without a running client the call would only start one.
    const std::optional<WineServer> server = m_prefix.server();
    if (!server || !m_prefix.isMessengerRunning()) {
        done(false, tr("Messenger is not running in the Wine prefix %1.").arg(m_prefix.path()));
        return;
    }
    m_helper.run(m_prefix, *server, {QStringLiteral("signout")},
                 [done](const WineHelper::Result &result) { done(result.ok, result.error); });
}
