// Probe connections with Winsock's own calls: a non-blocking connect, whose
// outcome SO_ERROR gives once the socket turns writable, and reads that tell
// a reset (WSAECONNRESET) from an orderly close (a read of 0 bytes). Qt's own
// socket reads a reset as a close, and retries a connect that a reset ends.

#include "platform/SystemConnector.h"

#include "SystemErrorText.h"

#include <QHostAddress>
#include <QSocketNotifier>

#include <cstring>

#include <winsock2.h>
#include <ws2tcpip.h>

namespace {

// The most bytes one read takes; a server that floods data is read in
// pieces of this size, and the probe drops the connection once it has its
// line.
constexpr int ReadSize = 4096;

// The same words as on Linux for the usual failures, the system's otherwise.
QString errorText(int code)
{
    switch (code) {
    case WSAECONNREFUSED: return QStringLiteral("Connection refused");
    case WSAECONNRESET:
    case WSAECONNABORTED: return QStringLiteral("Connection reset by peer");
    case WSAETIMEDOUT: return QStringLiteral("Connection timed out");
    case WSAEHOSTUNREACH: return QStringLiteral("Host unreachable");
    case WSAENETUNREACH: return QStringLiteral("Network unreachable");
    case WSAEACCES: return QStringLiteral("Permission denied");
    default: return QString::fromStdWString(nexolan::win32::systemErrorText(DWORD(code)));
    }
}

class WinsockConnection : public ProbeConnection
{
public:
    WinsockConnection(const QHostAddress &address, quint16 port, QObject *parent)
        : ProbeConnection(parent)
    {
        sockaddr_storage peer{};
        int size = 0;
        if (address.protocol() == QAbstractSocket::IPv6Protocol) {
            auto *in6 = reinterpret_cast<sockaddr_in6 *>(&peer);
            in6->sin6_family = AF_INET6;
            in6->sin6_port = htons(port);
            const Q_IPV6ADDR bytes = address.toIPv6Address();
            std::memcpy(&in6->sin6_addr, bytes.c, sizeof bytes.c);
            in6->sin6_scope_id = address.scopeId().toULong();
            size = sizeof *in6;
        } else {
            auto *in4 = reinterpret_cast<sockaddr_in *>(&peer);
            in4->sin_family = AF_INET;
            in4->sin_port = htons(port);
            in4->sin_addr.s_addr = htonl(address.toIPv4Address());
            size = sizeof *in4;
        }
        m_socket = ::socket(peer.ss_family, SOCK_STREAM, IPPROTO_TCP);
        if (m_socket == INVALID_SOCKET) {
            failLater(WSAGetLastError());
            return;
        }
        u_long nonBlocking = 1;
        if (::ioctlsocket(m_socket, FIONBIO, &nonBlocking) != 0) {
            failLater(WSAGetLastError());
            return;
        }
        if (::connect(m_socket, reinterpret_cast<sockaddr *>(&peer), size) != 0
            && WSAGetLastError() != WSAEWOULDBLOCK) {
            failLater(WSAGetLastError());
            return;
        }
        // Done, either way, when the socket turns writable.
        watch(QSocketNotifier::Write, &WinsockConnection::onConnectDone);
    }

    ~WinsockConnection() override { abort(); }

    bool send(const QByteArray &bytes, QString *error) override
    {
        const int sent = ::send(m_socket, bytes.constData(), int(bytes.size()), 0);
        if (sent == int(bytes.size()))
            return true;
        *error = sent < 0 ? errorText(WSAGetLastError()) : QStringLiteral("Unable to send the whole line");
        return false;
    }

    void abort() override
    {
        m_aborted = true;
        unwatch();
        if (m_socket != INVALID_SOCKET)
            ::closesocket(m_socket);
        m_socket = INVALID_SOCKET;
    }

private:
    void watch(QSocketNotifier::Type type, void (WinsockConnection::*handler)())
    {
        unwatch();
        m_notifier = new QSocketNotifier(qintptr(m_socket), type, this);
        connect(m_notifier, &QSocketNotifier::activated, this, handler);
    }

    void unwatch()
    {
        if (!m_notifier)
            return;
        m_notifier->setEnabled(false);
        m_notifier->deleteLater(); // it may be the one whose signal runs now
        m_notifier = nullptr;
    }

    void onConnectDone()
    {
        int code = 0;
        int length = sizeof code;
        if (::getsockopt(m_socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char *>(&code), &length) != 0)
            code = WSAGetLastError();
        if (code != 0) {
            fail(code);
            return;
        }
        watch(QSocketNotifier::Read, &WinsockConnection::onReadable);
        Q_EMIT connected();
    }

    void onReadable()
    {
        char buffer[ReadSize];
        const int count = ::recv(m_socket, buffer, sizeof buffer, 0);
        if (count > 0) {
            Q_EMIT received(QByteArray(buffer, count));
        } else if (count == 0) {
            abort();
            Q_EMIT closed();
        } else if (WSAGetLastError() != WSAEWOULDBLOCK && WSAGetLastError() != WSAEINTR) {
            fail(WSAGetLastError());
        }
    }

    void fail(int code)
    {
        abort();
        Q_EMIT failed(errorText(code));
    }

    // A failure of the request itself, reported from the event loop.
    void failLater(int code)
    {
        QMetaObject::invokeMethod(
            this,
            [this, code] {
                if (!m_aborted)
                    fail(code);
            },
            Qt::QueuedConnection);
    }

    SOCKET m_socket = INVALID_SOCKET;
    bool m_aborted = false;
    QSocketNotifier *m_notifier = nullptr;
};

class WinsockConnector : public ProbeConnector
{
public:
    WinsockConnector()
    {
        WSADATA data;
        m_started = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    ~WinsockConnector() override
    {
        if (m_started)
            WSACleanup();
    }

    ProbeConnection *connectTo(const QHostAddress &address, quint16 port, QObject *parent) override
    {
        return new WinsockConnection(address, port, parent);
    }

private:
    bool m_started = false;
};

} // namespace

std::unique_ptr<ProbeConnector> createSystemConnector()
{
    return std::make_unique<WinsockConnector>();
}
