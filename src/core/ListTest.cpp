// SPDX-License-Identifier: GPL-3.0-or-later
#include "ListTest.h"

#include "ServerProbe.h"

#include <QHostAddress>

namespace {

// The same server, however its address is written: "127.0.0.1" and
// "127.000.000.001" alike; host names compared lower-cased.
QString serverKey(const QString &ip, double port)
{
    const QString trimmed = ip.trimmed();
    const QHostAddress address(trimmed);
    const QString host = address.isNull() ? trimmed.toLower() : address.toString();
    return host + QLatin1Char(' ') + QString::number(port, 'g', 17);
}

} // namespace

ListTest::ListTest(Clock &clock, ProbeConnector &connector, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
    , m_connector(connector)
{ }

ListTest::~ListTest()
{
    stop();
}

void ListTest::start(const QVector<std::pair<QString, std::optional<double>>> &servers)
{
    stop();
    m_servers.clear();
    m_serverOfRow.clear();
    m_nextRow.clear();
    m_serverOfRow.reserve(servers.size());
    m_nextRow.reserve(servers.size());
    m_nextServer = 0;
    m_testedRows = 0;

    QHash<QString, int> serverOfKey;
    QVector<int> lastRowOfServer;
    for (int row = 0; row < servers.size(); ++row) {
        const QString &ip = servers.at(row).first;
        const double port = servers.at(row).second.value_or(0);
        const QString key = serverKey(ip, port);
        auto found = serverOfKey.constFind(key);
        m_nextRow.append(-1);
        if (found == serverOfKey.cend()) {
            found = serverOfKey.insert(key, int(m_servers.size()));
            Server server;
            server.ip = ip;
            server.port = port;
            server.firstRow = row;
            m_servers.append(server);
            lastRowOfServer.append(row);
        } else {
            m_nextRow[lastRowOfServer.at(*found)] = row;
            lastRowOfServer[*found] = row;
        }
        m_serverOfRow.append(*found);
    }

    m_running = true;
    startMore();
}

void ListTest::stop()
{
    m_running = false;
    for (Server &server : m_servers) {
        if (server.probe) {
            server.probe->disconnect(this);
            server.probe->stop();
            server.probe->deleteLater();
            server.probe = nullptr;
        }
    }
    m_open = 0;
}

void ListTest::startMore()
{
    while (m_running && m_nextServer < m_servers.size() && m_open < m_limits.open) {
        const int index = m_nextServer++;
        Server &server = m_servers[index];
        server.probe = new ServerProbe(m_clock, m_connector, this);
        server.probe->setReadsReplyLine(true);
        server.probe->setTimeLimit(m_limits.timeLimit);
        connect(server.probe, &ServerProbe::ended, this,
                [this, index](const ProbeResult &result) { onEnded(index, result); });
        ++m_open;
        server.probe->start(server.ip, server.port);
    }
    if (m_running && m_open == 0 && m_nextServer == m_servers.size()) {
        m_running = false;
        Q_EMIT finished();
    }
}

void ListTest::onEnded(int index, const ProbeResult &probeResult)
{
    Server &server = m_servers[index];
    --m_open;
    server.probe->disconnect(this);
    server.probe->deleteLater();
    server.probe = nullptr;

    server.result.tested = true;
    server.result.connectionSeconds = probeResult.connectionSeconds;
    server.result.responseSeconds = probeResult.responseSeconds;
    server.result.reply = Reply::fromResult(probeResult);
    for (int row = server.firstRow; row >= 0; row = m_nextRow.at(row)) {
        ++m_testedRows;
        Q_EMIT rowTested(row);
    }
    startMore();
}
