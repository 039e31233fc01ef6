// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/ProbeConnection.h"
#include "platform/SystemConnector.h"

#include <QSet>

#include <algorithm>
#include <memory>

// The system's connections, counted below the engine: attempts pending (not
// yet connected or failed), and the most at once. A server cannot see an
// attempt that has not reached it.
class CountingConnector : public ProbeConnector
{
public:
    ProbeConnection *connectTo(const QHostAddress &address, quint16 port, QObject *parent) override
    {
        ProbeConnection *connection = m_system->connectTo(address, port, parent);
        m_pending.insert(connection);
        mostPending = std::max(mostPending, int(m_pending.size()));
        const auto settle = [this, connection] { m_pending.remove(connection); };
        QObject::connect(connection, &ProbeConnection::connected, connection, settle);
        QObject::connect(connection, &ProbeConnection::failed, connection, settle);
        QObject::connect(connection, &QObject::destroyed, connection, settle);
        return connection;
    }

    int mostPending = 0;

private:
    QSet<ProbeConnection *> m_pending;
    std::unique_ptr<ProbeConnector> m_system = createSystemConnector();
};
