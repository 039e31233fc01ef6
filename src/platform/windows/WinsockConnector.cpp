// SPDX-License-Identifier: GPL-3.0-or-later
// Probe connections with Winsock's own calls: a non-blocking connect and
// reads, driven by the socket's network events (WSAEventSelect), whose error
// codes tell a reset (WSAECONNRESET) from an orderly close. Qt's own socket
// reads a reset as a close, and retries a connect that a reset ends.

#include "platform/SocketConnection.h"
#include "platform/SystemConnector.h"

#include "SystemErrorText.h"

#include <QWinEventNotifier>

namespace {

// The most bytes one read takes; a server that floods data is read in
// pieces of this size, and the probe drops the connection once it has its
// line.
constexpr int ReadSize = 4096;

// The same words as on Linux for the usual failures, in English
// (ProbeConnection::shownDescription() translates them), the system's
// otherwise.
QString errorText(int code)
{
    switch (code) {
    case WSAECONNREFUSED: return QStringLiteral(QT_TRANSLATE_NOOP("ProbeConnection", "Connection refused"));
    case WSAECONNRESET:
    case WSAECONNABORTED: return QStringLiteral(QT_TRANSLATE_NOOP("ProbeConnection", "Connection reset by peer"));
    case WSAETIMEDOUT: return QStringLiteral(QT_TRANSLATE_NOOP("ProbeConnection", "Connection timed out"));
    case WSAEHOSTUNREACH: return QStringLiteral(QT_TRANSLATE_NOOP("ProbeConnection", "Host unreachable"));
    case WSAENETUNREACH: return QStringLiteral(QT_TRANSLATE_NOOP("ProbeConnection", "Network unreachable"));
    case WSAEACCES: return QStringLiteral(QT_TRANSLATE_NOOP("ProbeConnection", "Permission denied"));
    default: return QString::fromStdWString(nexolan::win32::systemErrorText(DWORD(code)));
    }
}

class WinsockConnection : public SocketConnection
{
public:
    WinsockConnection(const QHostAddress &address, quint16 port, QObject *parent)
        : SocketConnection(parent)
    {
        const SocketAddress peer(address, port);
        m_socket = ::socket(peer.family(), SOCK_STREAM, IPPROTO_TCP);
        if (m_socket == INVALID_SOCKET) {
            failLater(errorText(WSAGetLastError()));
            return;
        }
        // The events carry their own error codes: a connect that a reset
        // ends, or a close that was a reset, is told apart there. Selecting
        // them makes the socket non-blocking.
        m_event = WSACreateEvent();
        if (m_event == WSA_INVALID_EVENT || WSAEventSelect(m_socket, m_event, FD_CONNECT | FD_READ | FD_CLOSE) != 0) {
            failLater(errorText(WSAGetLastError()));
            return;
        }
        if (::connect(m_socket, peer.data(), peer.size) != 0 && WSAGetLastError() != WSAEWOULDBLOCK) {
            failLater(errorText(WSAGetLastError()));
            return;
        }
        m_notifier = new QWinEventNotifier(m_event, this);
        connect(m_notifier, &QWinEventNotifier::activated, this, &WinsockConnection::onEvents);
    }

    ~WinsockConnection() override { abort(); }

    bool send(const QByteArray &bytes, QString *error) override
    {
        const int sent = ::send(m_socket, bytes.constData(), int(bytes.size()), 0);
        if (sent == int(bytes.size()))
            return true;
        *error = sent < 0 ? errorText(WSAGetLastError())
                          : QStringLiteral(QT_TRANSLATE_NOOP("ProbeConnection", "Unable to send the whole line"));
        return false;
    }

private:
    void release() override
    {
        if (m_notifier) {
            m_notifier->setEnabled(false);
            m_notifier->deleteLater(); // it may be the one whose signal runs now
            m_notifier = nullptr;
        }
        if (m_socket != INVALID_SOCKET)
            ::closesocket(m_socket);
        m_socket = INVALID_SOCKET;
        if (m_event != WSA_INVALID_EVENT)
            WSACloseEvent(m_event);
        m_event = WSA_INVALID_EVENT;
    }

    void onEvents()
    {
        WSANETWORKEVENTS events{};
        if (WSAEnumNetworkEvents(m_socket, m_event, &events) != 0) {
            fail(errorText(WSAGetLastError()));
            return;
        }
        if (events.lNetworkEvents & FD_CONNECT) {
            if (events.iErrorCode[FD_CONNECT_BIT] != 0) {
                fail(errorText(events.iErrorCode[FD_CONNECT_BIT]));
                return;
            }
            Q_EMIT connected();
            if (isAborted())
                return;
        }
        if (events.lNetworkEvents & FD_READ) {
            if (!readOnce() || isAborted())
                return;
        }
        if (events.lNetworkEvents & FD_CLOSE) {
            if (events.iErrorCode[FD_CLOSE_BIT] != 0) {
                fail(errorText(events.iErrorCode[FD_CLOSE_BIT]));
                return;
            }
            // What came before the close is read first.
            while (readOnce() && !isAborted()) { }
            if (!isAborted()) {
                abort();
                Q_EMIT closed();
            }
        }
    }

    // One read; false once the connection has ended or nothing is waiting.
    bool readOnce()
    {
        char buffer[ReadSize];
        const int count = ::recv(m_socket, buffer, sizeof buffer, 0);
        if (count > 0) {
            Q_EMIT received(QByteArray(buffer, count));
            return true;
        }
        if (count == 0) {
            abort();
            Q_EMIT closed();
        } else if (WSAGetLastError() != WSAEWOULDBLOCK) {
            fail(errorText(WSAGetLastError()));
        }
        return false;
    }

    SOCKET m_socket = INVALID_SOCKET;
    WSAEVENT m_event = WSA_INVALID_EVENT;
    QWinEventNotifier *m_notifier = nullptr;
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
