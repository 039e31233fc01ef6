// SPDX-License-Identifier: GPL-3.0-or-later
#include "SocketConnection.h"

#include <QHostAddress>
#include <QNetworkInterface>

#include <cstring>

SocketAddress::SocketAddress(const QHostAddress &address, quint16 port)
{
    if (address.protocol() == QAbstractSocket::IPv6Protocol) {
        auto *in6 = reinterpret_cast<sockaddr_in6 *>(&storage);
        in6->sin6_family = AF_INET6;
        in6->sin6_port = htons(port);
        const Q_IPV6ADDR bytes = address.toIPv6Address();
        std::memcpy(&in6->sin6_addr, bytes.c, sizeof bytes.c);
        // No scope, or the name of no interface, gives 0: none.
        in6->sin6_scope_id = unsigned(QNetworkInterface::interfaceIndexFromName(address.scopeId()));
        size = sizeof *in6;
    } else {
        auto *in4 = reinterpret_cast<sockaddr_in *>(&storage);
        in4->sin_family = AF_INET;
        in4->sin_port = htons(port);
        in4->sin_addr.s_addr = htonl(address.toIPv4Address());
        size = sizeof *in4;
    }
}

void SocketConnection::abort()
{
    m_aborted = true;
    release();
}

void SocketConnection::fail(const QString &description)
{
    abort();
    Q_EMIT failed(description);
}

void SocketConnection::failLater(const QString &description)
{
    QMetaObject::invokeMethod(
        this,
        [this, description] {
            if (!m_aborted)
                fail(description);
        },
        Qt::QueuedConnection);
}
