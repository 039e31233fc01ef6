// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/ProbeConnection.h"

#ifdef Q_OS_WIN
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <netinet/in.h>
#include <sys/socket.h>
#endif

class QHostAddress;

// A peer's address and port as the system's socket calls take them. The
// scope of a link-local IPv6 address (fe80::1%eth0) names the interface to
// reach it through, by the interface's name or by its index.
struct SocketAddress
{
    SocketAddress(const QHostAddress &address, quint16 port);

    int family() const { return storage.ss_family; }
    const sockaddr *data() const { return reinterpret_cast<const sockaddr *>(&storage); }

    sockaddr_storage storage{};
    socklen_t size = 0;
};

// What the probe connections over the system's own socket calls share: once
// dropped, a connection says nothing more, and a request that fails at once
// reports it from the event loop, never from inside the call.
class SocketConnection : public ProbeConnection
{
public:
    using ProbeConnection::ProbeConnection;

    void abort() final;

protected:
    // Stops watching the socket and closes it; runs again on every abort.
    virtual void release() = 0;
    bool isAborted() const { return m_aborted; }
    // Drops the connection and reports why.
    void fail(const QString &description);
    // A failure of the request itself, reported from the event loop unless
    // the connection is dropped first.
    void failLater(const QString &description);

private:
    bool m_aborted = false;
};
