// Probe connections with Linux's own socket calls: a non-blocking connect,
// whose outcome SO_ERROR gives once the socket turns writable, and reads that
// tell a reset (ECONNRESET) from an orderly close (a read of 0 bytes).

#include "platform/SystemConnector.h"

#include <QHostAddress>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>

#include <netinet/in.h>
#include <sys/socket.h>
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

class LinuxConnection : public ProbeConnection
{
public:
    LinuxConnection(const QHostAddress &address, quint16 port, QObject *parent)
        : ProbeConnection(parent)
    {
        sockaddr_storage peer{};
        socklen_t size = 0;
        if (address.protocol() == QAbstractSocket::IPv6Protocol) {
            auto *in6 = reinterpret_cast<sockaddr_in6 *>(&peer);
            in6->sin6_family = AF_INET6;
            in6->sin6_port = htons(port);
            const Q_IPV6ADDR bytes = address.toIPv6Address();
            std::memcpy(&in6->sin6_addr, bytes.c, sizeof bytes.c);
            in6->sin6_scope_id = address.scopeId().toUInt();
            size = sizeof *in6;
        } else {
            auto *in4 = reinterpret_cast<sockaddr_in *>(&peer);
            in4->sin_family = AF_INET;
            in4->sin_port = htons(port);
            in4->sin_addr.s_addr = htonl(address.toIPv4Address());
            size = sizeof *in4;
        }
        m_fd = ::socket(peer.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (m_fd < 0) {
            failLater(errno);
            return;
        }
        if (::connect(m_fd, reinterpret_cast<sockaddr *>(&peer), size) != 0 && errno != EINPROGRESS) {
            failLater(errno);
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

    void abort() override
    {
        m_aborted = true;
        unwatch();
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

private:
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
            fail(code);
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
            fail(errno);
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

    int m_fd = -1;
    bool m_aborted = false;
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
