// SPDX-License-Identifier: GPL-3.0-or-later
#include "WineSystemObjects.h"

#include "WineMessenger.h"
#include "WineRegistry.h"

#include <QDir>

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
