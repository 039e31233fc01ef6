// SPDX-License-Identifier: GPL-3.0-or-later
#include "ServerProbe.h"

#include "Clock.h"
#include "ProbeConnection.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QTimer>

#include <cmath>

namespace {

constexpr char ProbeText[] = "VER 2 MSNP10 MSNP9 CVR0\r\n";
constexpr qint64 ProbeLength = sizeof(ProbeText) - 1;

// How often a time limit is compared with the clock.
constexpr int LimitCheckMs = 50;

} // namespace

ServerProbe::ServerProbe(Clock &clock, ProbeConnector &connector, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
    , m_connector(connector)
{ }

ServerProbe::~ServerProbe()
{
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
    if (m_timeLimit > 0) {
        m_limitTimer = new QTimer(this);
        connect(m_limitTimer, &QTimer::timeout, this, &ServerProbe::checkTimeLimit);
        m_limitTimer->start(LimitCheckMs);
    }
    if (ip.trimmed().isEmpty()) {
        failLater(QStringLiteral(QT_TRANSLATE_NOOP("ProbeConnection", "No IP address")));
        return;
    }
    if (!(port >= 1 && port <= 65535 && port == std::floor(port))) {
        failLater(QStringLiteral(QT_TRANSLATE_NOOP("ProbeConnection", "Invalid port number")));
        return;
    }
    const QHostAddress address(ip.trimmed());
    if (!address.isNull()) {
        connectTo(address, quint16(port));
        return;
    }
    QHostInfo::lookupHost(ip.trimmed(), this, [this, port](const QHostInfo &info) {
        if (m_state != State::Connecting)
            return;
        if (info.error() != QHostInfo::NoError || info.addresses().isEmpty())
            finish(ProbeResult::End::Failed, info.errorString());
        else
            connectTo(info.addresses().constFirst(), quint16(port));
    });
}

void ServerProbe::failLater(const QString &description)
{
    QMetaObject::invokeMethod(
        this,
        [this, description] {
            if (m_state == State::Connecting)
                finish(ProbeResult::End::Failed, description);
        },
        Qt::QueuedConnection);
}

void ServerProbe::connectTo(const QHostAddress &address, quint16 port)
{
    m_connection = m_connector.connectTo(address, port, this);
    connect(m_connection, &ProbeConnection::connected, this, &ServerProbe::onConnected);
    connect(m_connection, &ProbeConnection::received, this, &ServerProbe::onReceived);
    connect(m_connection, &ProbeConnection::closed, this, &ServerProbe::onClosed);
    connect(m_connection, &ProbeConnection::failed, this, &ServerProbe::onFailed);
}

void ServerProbe::stop()
{
    end();
}

void ServerProbe::onConnected()
{
    if (m_state != State::Connecting)
        return;
    m_connected = m_clock.seconds();
    m_state = State::Sending;
    Q_EMIT connected();
    QMetaObject::invokeMethod(this, &ServerProbe::sendStep, Qt::QueuedConnection);
}

void ServerProbe::sendStep()
{
    // A server that spoke first, or a test that ended meanwhile, gets nothing.
    if (m_state != State::Sending || m_answered)
        return;
    m_sent = m_clock.seconds();
    QString error;
    if (!m_connection->send(probeLine(), &error)) {
        finish(ProbeResult::End::Failed, error);
        return;
    }
    m_probeSent = true;
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

void ServerProbe::onReceived(const QByteArray &data)
{
    if (m_state == State::Idle || m_state == State::Done)
        return;
    if (!m_answered) {
        m_answered = true;
        m_received = m_clock.seconds();
    }
    if (!m_readsLine) {
        finish(ProbeResult::End::Replied);
        return;
    }
    // Only the first line counts; the rest is never kept.
    m_line.append(data.left(ReplyLineLimit + 2 - m_line.size()));
    const qsizetype lineEnd = m_line.indexOf("\r\n");
    if (lineEnd >= 0 && lineEnd <= ReplyLineLimit) {
        m_line.truncate(lineEnd);
        m_lineEnded = true;
        finish(ProbeResult::End::Replied);
    } else if (m_line.size() >= ReplyLineLimit + 2) {
        finish(ProbeResult::End::Replied);
    }
}

void ServerProbe::onClosed()
{
    if (m_state == State::Idle || m_state == State::Done)
        return;
    finish(m_answered ? ProbeResult::End::Replied : ProbeResult::End::Closed);
}

void ServerProbe::onFailed(const QString &description)
{
    if (m_state == State::Idle || m_state == State::Done)
        return;
    // A reply that came before the failure still counts.
    if (m_answered)
        finish(ProbeResult::End::Replied);
    else
        finish(ProbeResult::End::Failed, description);
}

void ServerProbe::checkTimeLimit()
{
    if (m_state == State::Idle || m_state == State::Done || m_clock.seconds() - m_start < m_timeLimit)
        return;
    finish(m_answered ? ProbeResult::End::Replied : ProbeResult::End::TimedOut);
}

void ServerProbe::finish(ProbeResult::End end, const QString &error)
{
    ProbeResult result;
    result.end = end;
    result.error = error;
    if (m_state != State::Connecting)
        result.connectionSeconds = m_connected - m_start;
    if (m_answered) {
        // A server that spoke before the probe went out answered nothing:
        // its response time counts from the connection (from the start when
        // data came before the connection was reported).
        const double from = m_probeSent ? m_sent : (m_state == State::Connecting ? m_start : m_connected);
        result.responseSeconds = m_received - from;
        result.spokeFirst = !m_probeSent;
        result.replyLine = m_line.left(ReplyLineLimit);
        result.lineComplete = m_lineEnded;
    }
    this->end();
    Q_EMIT ended(result);
}

void ServerProbe::end()
{
    m_state = State::Done;
    if (m_limitTimer)
        m_limitTimer->stop();
    if (m_connection) {
        m_connection->abort();
        m_connection->disconnect(this);
        m_connection->deleteLater();
        m_connection = nullptr;
    }
}
