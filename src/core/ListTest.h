// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Reply.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QVector>

#include <optional>
#include <utility>

class Clock;
class ProbeConnector;
class ServerProbe;
struct ProbeResult;

// Tests every server of a list with ServerProbe, politely: a bounded number
// of connections at once (attempts still pending and a host name's look-up
// included), one test per distinct IP address and port (rows that name the
// same server share its result), the probe line sent once per server, each
// connection closed as soon as its reply line is read, and a time limit per
// server from the start of its connection attempt. Servers are started in
// list order. A server whose host drops the attempts holds one connection
// for its time limit, never the others' turn.
class ListTest : public QObject
{
    Q_OBJECT

public:
    struct Limits
    {
        int open = 32; // probes at work at once, pending attempts and look-ups included
        double timeLimit = 10; // seconds per server
    };

    // One row's outcome.
    struct Result
    {
        bool tested = false;
        std::optional<double> connectionSeconds; // raw differences, as the single test takes them
        std::optional<double> responseSeconds;
        Reply reply;
    };

    ListTest(Clock &clock, ProbeConnector &connector, QObject *parent = nullptr);
    ~ListTest() override;

    void setLimits(const Limits &limits) { m_limits = limits; }
    const Limits &limits() const { return m_limits; }

    // Starts testing these servers (a row's IP address field and port),
    // dropping any earlier run. An empty list is finished at once.
    void start(const QVector<std::pair<QString, std::optional<double>>> &servers);
    // Ends every test at once and closes every connection; no signal follows.
    void stop();

    bool isRunning() const { return m_running; }
    qsizetype rowCount() const { return m_serverOfRow.size(); }
    qsizetype testedRows() const { return m_testedRows; }
    const Result &result(qsizetype row) const { return m_servers.at(m_serverOfRow.at(row)).result; }

Q_SIGNALS:
    // A row's server has been tested.
    void rowTested(int row);
    // Every server has been tested.
    void finished();

private:
    struct Server
    {
        QString ip;
        double port = 0;
        int firstRow = 0; // the rows that name it are chained through m_nextRow
        ServerProbe *probe = nullptr;
        Result result;
    };

    void startMore();
    void onEnded(int server, const ProbeResult &probeResult);

    Clock &m_clock;
    ProbeConnector &m_connector;
    Limits m_limits;
    QVector<Server> m_servers;
    QVector<int> m_serverOfRow;
    QVector<int> m_nextRow; // the next row naming the same server, or -1
    int m_nextServer = 0; // the next server to start
    int m_open = 0;
    qsizetype m_testedRows = 0;
    bool m_running = false;
};
