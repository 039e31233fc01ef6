#include "ServerProbe.h"

#include "Clock.h"

#include <QHostInfo>
#include <QNetworkProxy>
#include <QSocketNotifier>
#include <QTcpSocket>

#include <cerrno>
#include <chrono>
#include <cmath>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#endif

namespace {

constexpr char ProbeText[] = "VER 2 MSNP10 MSNP9 CVR0\r\n";
constexpr qint64 ProbeLength = sizeof(ProbeText) - 1;

// The reply is read and dropped as it comes; a server that floods data
// cannot grow memory.
constexpr qint64 ReadBufferSize = 4096;

#ifdef Q_OS_LINUX
// The socket's own words for the usual connect failures.
QString connectErrorText(int code)
{
    switch (code) {
    case ECONNREFUSED: return QStringLiteral("Connection refused");
    case ECONNRESET: return QStringLiteral("Connection reset by peer");
    case ETIMEDOUT: return QStringLiteral("Connection timed out");
    case EHOSTUNREACH: return QStringLiteral("Host unreachable");
    case ENETUNREACH: return QStringLiteral("Network unreachable");
    case EACCES:
    case EPERM: return QStringLiteral("Permission denied");
    default: return QString::fromLocal8Bit(std::strerror(code));
    }
}
#endif

} // namespace

double SteadyClock::seconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

ServerProbe::ServerProbe(Clock &clock, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
    , m_socket(new QTcpSocket(this))
{
    m_socket->setObjectName(QStringLiteral("sck"));
    m_socket->setProxy(QNetworkProxy::NoProxy); // the server itself is timed
    m_socket->setReadBufferSize(ReadBufferSize);

    // The socket can report a connection, or an error, from inside the
    // connect request: its events are handled from the event loop only.
    connect(m_socket, &QTcpSocket::connected, this, &ServerProbe::onConnected, Qt::QueuedConnection);
    connect(m_socket, &QTcpSocket::readyRead, this, &ServerProbe::onReadyRead, Qt::QueuedConnection);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &ServerProbe::onError, Qt::QueuedConnection);
}

ServerProbe::~ServerProbe()
{
    QObject::disconnect(m_socket, nullptr, this, nullptr);
    end();
}

QByteArray ServerProbe::probeLine()
{
    return QByteArray(ProbeText, ProbeLength);
}

void ServerProbe::start(const QString &ip, double port)
{
    if (m_state != State::Idle)
        return;
    m_state = State::Connecting;
    m_start = m_clock.seconds();
    QString failure;
    if (ip.trimmed().isEmpty())
        failure = QStringLiteral("No IP address");
    else if (!(port >= 1 && port <= 65535 && port == std::floor(port)))
        failure = QStringLiteral("Invalid port number");
    if (!failure.isEmpty()) {
        QMetaObject::invokeMethod(this, [this, failure] { fail(failure); }, Qt::QueuedConnection);
        return;
    }
    const QHostAddress address(ip.trimmed());
    if (!address.isNull()) {
        connectTo(address, quint16(port));
        return;
    }
    // A host name in the address box is looked up first.
    QHostInfo::lookupHost(ip, this, [this, port](const QHostInfo &info) {
        if (m_state != State::Connecting)
            return;
        if (info.error() != QHostInfo::NoError || info.addresses().isEmpty())
            fail(info.errorString());
        else
            connectTo(info.addresses().constFirst(), quint16(port));
    });
}

void ServerProbe::connectTo(const QHostAddress &address, quint16 port)
{
#ifdef Q_OS_LINUX
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
    const int fd = ::socket(peer.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        QMetaObject::invokeMethod(this, [this, code = errno] { fail(connectErrorText(code)); }, Qt::QueuedConnection);
        return;
    }
    m_connecting = fd;
    if (::connect(fd, reinterpret_cast<sockaddr *>(&peer), size) != 0 && errno != EINPROGRESS) {
        QMetaObject::invokeMethod(this, [this, code = errno] { fail(connectErrorText(code)); }, Qt::QueuedConnection);
        return;
    }
    // Done, either way, when the socket becomes writable.
    m_connectNotifier = new QSocketNotifier(fd, QSocketNotifier::Write, this);
    connect(m_connectNotifier, &QSocketNotifier::activated, this, &ServerProbe::onConnectDone);
#else
    m_socket->connectToHost(address, port);
#endif
}

void ServerProbe::onConnectDone()
{
#ifdef Q_OS_LINUX
    m_connectNotifier->setEnabled(false);
    m_connectNotifier->deleteLater();
    m_connectNotifier = nullptr;
    int code = 0;
    socklen_t length = sizeof code;
    if (::getsockopt(int(m_connecting), SOL_SOCKET, SO_ERROR, &code, &length) != 0)
        code = errno;
    if (code != 0) {
        fail(connectErrorText(code));
        return;
    }
    const qintptr fd = m_connecting;
    m_connecting = -1;
    m_watch = ::dup(int(fd));
    if (!m_socket->setSocketDescriptor(fd, QAbstractSocket::ConnectedState)) {
        ::close(int(fd));
        fail(m_socket->errorString());
        return;
    }
    onConnected();
#endif
}

void ServerProbe::stop()
{
    end();
}

void ServerProbe::onConnected()
{
    if (m_state != State::Connecting || m_connectSeen)
        return;
    m_connectSeen = true;
    m_connected = m_clock.seconds();
    m_state = State::Sending;
    Q_EMIT connected();
    QMetaObject::invokeMethod(this, &ServerProbe::sendStep, Qt::QueuedConnection);
}

void ServerProbe::sendStep()
{
    if (m_state != State::Sending)
        return;
    m_sent = m_clock.seconds();
    // A server that closed the connection meanwhile gets nothing; the test
    // waits as for a silent server.
    if (m_socket->state() == QAbstractSocket::ConnectedState) {
        if (m_socket->write(ProbeText, ProbeLength) != ProbeLength) {
            fail(m_socket->errorString());
            return;
        }
        m_probeSent = true;
        m_socket->flush(); // out now, not on the next turn of the event loop
    }
    m_state = State::Sent;
    QMetaObject::invokeMethod(this, &ServerProbe::waitStep, Qt::QueuedConnection);
}

void ServerProbe::waitStep()
{
    if (m_state != State::Sent)
        return;
    m_state = State::Waiting;
    Q_EMIT waiting();
}

void ServerProbe::onReadyRead()
{
    if (m_state == State::Idle || m_state == State::Done)
        return;
    const double received = m_clock.seconds();
    // Data proves the connection even if its event is still queued.
    if (!m_connectSeen) {
        m_connectSeen = true;
        m_connected = received;
    }
    end();
    // A server that spoke before the probe went out answered nothing: its
    // response time counts from the connection.
    const double sent = m_probeSent ? m_sent : m_connected;
    Q_EMIT finished(m_connected - m_start, received - sent);
}

void ServerProbe::onError()
{
    if (m_state == State::Idle || m_state == State::Done)
        return;
    if (m_socket->error() == QAbstractSocket::RemoteHostClosedError && !wasReset()) {
        // An orderly close without an answer: keep waiting, as for a
        // silent server, until the user closes the test.
        m_socket->abort();
        return;
    }
    fail(m_socket->error() == QAbstractSocket::RemoteHostClosedError ? QStringLiteral("Connection reset by peer")
                                                                      : m_socket->errorString());
}

bool ServerProbe::wasReset() const
{
#ifdef Q_OS_LINUX
    if (m_watch < 0)
        return false;
    int pending = 0;
    socklen_t length = sizeof pending;
    ::getsockopt(int(m_watch), SOL_SOCKET, SO_ERROR, &pending, &length);
    // A reset after the peer's own close (the answer to data sent after it)
    // is left pending as EPIPE: that connection was closed, not reset.
    if (pending == ECONNRESET || pending == EPIPE)
        return pending == ECONNRESET;
    // A reset that the socket has already read moves the connection straight
    // to CLOSE; a close by the peer leaves it in CLOSE_WAIT while this handle
    // is open.
    tcp_info info{};
    length = sizeof info;
    return ::getsockopt(int(m_watch), IPPROTO_TCP, TCP_INFO, &info, &length) == 0 && info.tcpi_state == TCP_CLOSE;
#else
    return false;
#endif
}

void ServerProbe::fail(const QString &description)
{
    end();
    Q_EMIT failed(description);
}

void ServerProbe::end()
{
    m_state = State::Done;
    m_socket->abort();
    if (m_connectNotifier) {
        m_connectNotifier->setEnabled(false);
        m_connectNotifier->deleteLater();
        m_connectNotifier = nullptr;
    }
#ifdef Q_OS_LINUX
    for (qintptr *fd : {&m_watch, &m_connecting}) {
        if (*fd >= 0)
            ::close(int(*fd));
        *fd = -1;
    }
#endif
}
