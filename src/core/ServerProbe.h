// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <optional>

class Clock;
class ProbeConnection;
class ProbeConnector;
class QHostAddress;
class QTimer;

// How a probe's test ended.
struct ProbeResult
{
    enum class End {
        Replied, // data came
        Closed, // the server closed the connection without a byte
        TimedOut, // nothing came within the time limit
        Failed, // no connection, or it failed before a byte came
    };
    End end = End::Failed;
    // The raw time differences in seconds: start to connected, and sent to
    // the first byte.
    std::optional<double> connectionSeconds;
    std::optional<double> responseSeconds;
    // With the reply line read: its first line without CR LF, at most
    // ReplyLineLimit bytes, and whether CR LF ended it.
    QByteArray replyLine;
    bool lineComplete = false;
    // The server's first data came before the probe line went out (which
    // then never goes out): it spoke first, answering nothing of ours.
    bool spokeFirst = false;
    QString error; // Failed: the system's words
};

// Tests one Messenger server: connects to its IP address and port, sends the
// protocol's version command once ("VER 2 MSNP10 MSNP9 CVR0" and CR LF, 25
// bytes), and waits for the first data. Four clock readings give the
// connection time (start to connected) and the response time (sent to the
// first byte). Each probe runs one test.
//
// The single test stops at the first byte and has no time limit: a server
// that stays silent, or closes without answering, leaves it waiting. A probe
// may instead read the reply's first line (up to CR LF, at most
// ReplyLineLimit bytes) and have a time limit, counted on its clock from the
// start; it closes the connection as soon as the line is read.
//
// The connection's steps run as queued steps of the event loop (connected;
// then the send; then waiting), so a Close, a reply or a greeting can come in
// between and ends the test there. A connection reset is an error.
class ServerProbe : public QObject
{
    Q_OBJECT

public:
    static constexpr qsizetype ReplyLineLimit = 256;

    ServerProbe(Clock &clock, ProbeConnector &connector, QObject *parent = nullptr);
    ~ServerProbe() override;

    // Reads the reply's first line instead of stopping at the first byte.
    void setReadsReplyLine(bool reads) { m_readsLine = reads; }
    // Ends the test as timed out once this many seconds have passed on the
    // clock since the start (0: no limit). Set before start().
    void setTimeLimit(double seconds) { m_timeLimit = seconds; }

    // Takes the start reading and requests the connection; an IP address
    // field that holds a host name is looked up first. A request that cannot
    // go out (no IP address, a port that is not a whole number from 1 to
    // 65535, a name that does not resolve) fails from the event loop.
    void start(const QString &ip, double port);
    // Drops the connection; no signal follows.
    void stop();

    // The bytes sent, once per test.
    static QByteArray probeLine();

Q_SIGNALS:
    // The connection is made; the probe goes out next.
    void connected();
    // The probe went out (or the server had closed already): now waiting.
    void waiting();
    // The test is over; the connection is closed.
    void ended(const ProbeResult &result);

private:
    enum class State { Idle, Connecting, Sending, Sent, Waiting, Done };

    void connectTo(const QHostAddress &address, quint16 port);
    void onConnected();
    void sendStep();
    void waitStep();
    void onReceived(const QByteArray &data);
    void onClosed();
    void onFailed(const QString &description);
    void checkTimeLimit();
    void failLater(const QString &description);
    void finish(ProbeResult::End end, const QString &error = QString());
    void end();

    Clock &m_clock;
    ProbeConnector &m_connector;
    ProbeConnection *m_connection = nullptr;
    QTimer *m_limitTimer = nullptr;
    State m_state = State::Idle;
    bool m_readsLine = false;
    double m_timeLimit = 0;
    bool m_probeSent = false;
    bool m_answered = false;
    double m_start = 0;
    double m_connected = 0;
    double m_sent = 0;
    double m_received = 0;
    QByteArray m_line; // the reply read so far, at most ReplyLineLimit + 2 bytes
    bool m_lineEnded = false;
};
