#pragma once

#include <QObject>
#include <QString>

class Clock;
class QHostAddress;
class QSocketNotifier;
class QTcpSocket;

// Tests one Messenger server: connects to its IP address and port, sends the
// protocol's version command once ("VER 2 MSNP10 MSNP9 CVR0" and CR LF, 25
// bytes), and waits for the first data, whatever it is. Four clock readings
// give the connection time (start to connected) and the response time (sent
// to received). Each probe runs one test.
//
// Every socket event is handled from the event loop, and the connection's
// steps run as queued steps of it (connected; then the send; then waiting),
// so a Close, a reply or a greeting can come in between and ends the test
// there. A server that closes the connection without answering leaves the
// probe waiting, as a silent one does; a connection reset is an error.
class ServerProbe : public QObject
{
    Q_OBJECT

public:
    explicit ServerProbe(Clock &clock, QObject *parent = nullptr);
    ~ServerProbe() override;

    // Takes the start reading and requests the connection. A request that
    // cannot go out (no IP address, a port that is not a whole number from 1
    // to 65535) fails from the event loop, like a socket error.
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
    // The first data came: the two raw time differences in seconds.
    void finished(double connectionSeconds, double responseSeconds);
    // The socket reported an error, or the request could not go out.
    void failed(const QString &description);

private:
    enum class State { Idle, Connecting, Sending, Sent, Waiting, Done };

    void connectTo(const QHostAddress &address, quint16 port);
    void onConnectDone();
    void onConnected();
    void sendStep();
    void waitStep();
    void onReadyRead();
    void onError();
    void fail(const QString &description);
    void end();
    bool wasReset() const;

    Clock &m_clock;
    QTcpSocket *m_socket;
    State m_state = State::Idle;
    bool m_connectSeen = false;
    bool m_probeSent = false;
    double m_start = 0;
    double m_connected = 0;
    double m_sent = 0;
    // A second handle on the connection: the socket closes its own when the
    // peer goes away, and only this one can still tell a reset from a close.
    qintptr m_watch = -1;
    // Where the connection is made by the probe itself: the socket's own
    // connect logic retries on a connection reset while connecting (one test
    // would make a new connection at every turn of the event loop), so the
    // socket gets the connection once it is made.
    qintptr m_connecting = -1;
    QSocketNotifier *m_connectNotifier = nullptr;
};
