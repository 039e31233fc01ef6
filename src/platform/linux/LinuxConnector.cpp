// SPDX-License-Identifier: GPL-3.0-or-later
// Probe connections with Linux's own socket calls: a non-blocking connect,
// whose outcome SO_ERROR gives once the socket turns writable, and reads that
// tell a reset (ECONNRESET) from an orderly close (a read of 0 bytes).

#include "platform/SocketConnection.h"
#include "platform/SystemConnector.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace {

// The most bytes one read takes; a server that floods data is read in
// pieces of this size, and the probe drops the connection once it has its
// line.
constexpr int ReadSize = 4096;

// The same words as the socket layer of Qt uses for the usual failures, in
// English (ProbeConnection::shownDescription() translates them), the
// system's own otherwise.
QString errorText(int code)
{
    switch (code) {
    case ECONNREFUSED: return QStringLiteral(QT_TRANSLATE_NOOP("ProbeConnection", "Connection refused"));
    case ECONNRESET: return QStringLiteral(QT_TRANSLATE_NOOP("ProbeConnection", "Connection reset by peer"));
    case ETIMEDOUT: return QStringLiteral(QT_TRANSLATE_NOOP("ProbeConnection", "Connection timed out"));
    case EHOSTUNREACH: return QStringLiteral(QT_TRANSLATE_NOOP("ProbeConnection", "Host unreachable"));
    case ENETUNREACH: return QStringLiteral(QT_TRANSLATE_NOOP("ProbeConnection", "Network unreachable"));
    case EACCES:
    case EPERM: return QStringLiteral(QT_TRANSLATE_NOOP("ProbeConnection", "Permission denied"));
    default: return QString::fromLocal8Bit(std::strerror(code));
    }
}

class LinuxConnection : public SocketConnection
{
public:
    LinuxConnection(const QHostAddress &address, quint16 port, QObject *parent)
        : SocketConnection(parent)
    {
        const SocketAddress peer(address, port);
        m_fd = ::socket(peer.family(), SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (m_fd < 0) {
            failLater(errorText(errno));
            return;
        }
        if (::connect(m_fd, peer.data(), peer.size) != 0 && errno != EINPROGRESS) {
            failLater(errorText(errno));
            return;
        }
        // Done, either way, when the socket turns writable.
        watch(QSocketNotifier::Write, &LinuxConnection::onConnectDone);
    }

    ~LinuxConnection() override { abort(); }

    bool send(const QByteArray &bytes, QString *error) override
    {
        const ssize_t sent = ::send(m_fd, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL);
        if (sent == ssize_t(bytes.size()))
            return true;
        *error = sent < 0 ? errorText(errno)
                          : QStringLiteral(QT_TRANSLATE_NOOP("ProbeConnection", "Unable to send the whole line"));
        return false;
    }

private:
    void release() override
    {
        unwatch();
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

    void watch(QSocketNotifier::Type type, void (LinuxConnection::*handler)())
    {
        unwatch();
        m_notifier = new QSocketNotifier(m_fd, type, this);
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
        socklen_t length = sizeof code;
        if (::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &code, &length) != 0)
            code = errno;
        if (code != 0) {
            fail(errorText(code));
            return;
        }
        watch(QSocketNotifier::Read, &LinuxConnection::onReadable);
        Q_EMIT connected();
    }

    void onReadable()
    {
        char buffer[ReadSize];
        const ssize_t count = ::recv(m_fd, buffer, sizeof buffer, 0);
        if (count > 0) {
            Q_EMIT received(QByteArray(buffer, qsizetype(count)));
        } else if (count == 0) {
            abort();
            Q_EMIT closed();
        } else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            fail(errorText(errno));
        }
    }

    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
};

class LinuxConnector : public ProbeConnector
{
public:
    ProbeConnection *connectTo(const QHostAddress &address, quint16 port, QObject *parent) override
    {
        return new LinuxConnection(address, port, parent);
    }
};

} // namespace

std::unique_ptr<ProbeConnector> createSystemConnector()
{
    return std::make_unique<LinuxConnector>();
}
