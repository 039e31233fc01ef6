#include "core/ServerProbe.h"
#include "support/FakePlatform.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#ifdef Q_OS_WIN
#define NOMINMAX 1 // as libstdc++ defines it for mingw-w64
#define WIN32_LEAN_AND_MEAN
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif

namespace {

// A Messenger server on 127.0.0.1 that behaves as told.
struct LoopbackServer : QObject
{
    enum class Behaviour { Silent, Greet, Flood, Close, Reset, ResetAfterProbe, Refuse, StopConnecting, StopConnected };

    explicit LoopbackServer(Behaviour behaviour)
    {
        QVERIFY(server.listen(QHostAddress::LocalHost));
        connect(&server, &QTcpServer::newConnection, this, [this, behaviour] {
            ++connections;
            peer = server.nextPendingConnection();
            connect(peer, &QTcpSocket::readyRead, this, [this, behaviour] {
                received += peer->readAll();
                if (behaviour == Behaviour::ResetAfterProbe && received.size() >= 25)
                    reset();
            });
            if (behaviour == Behaviour::Flood)
                peer->write(QByteArray(1 << 20, 'x'));
            else if (behaviour == Behaviour::Greet || behaviour >= Behaviour::StopConnecting)
                peer->write("VER 2 MSNP10\r\n"); // which a stopped probe must not report
            else if (behaviour == Behaviour::Close)
                peer->disconnectFromHost();
            else if (behaviour == Behaviour::Reset)
                reset();
        });
    }

    // Closes with SO_LINGER 0: the peer gets a reset.
    void reset()
    {
        const linger abortive{1, 0};
        ::setsockopt(peer->socketDescriptor(), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char *>(&abortive),
                     sizeof abortive);
        peer->abort();
    }

    QTcpServer server;
    int connections = 0;
    QByteArray received;
    QPointer<QTcpSocket> peer;
};

using Behaviour = LoopbackServer::Behaviour;

} // namespace

Q_DECLARE_METATYPE(LoopbackServer::Behaviour)

// The probe against servers on loopback: what it sends, what it measures on
// the clock it is given, and how each kind of server ends the test.
class TestServerProbe : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The readings: start, connected, sent and received, each moved on by
    // the test between the probe's steps.
    void timesTheReply()
    {
        LoopbackServer server(Behaviour::Silent);
        FakeClock clock;
        ServerProbe probe(clock);
        QSignalSpy finished(&probe, &ServerProbe::finished);
        connect(&probe, &ServerProbe::connected, this, [&] { clock.now = 1001.0; }); // the send reading
        connect(&probe, &ServerProbe::waiting, this, [&] {
            clock.now = 1001.75; // the received reading
            server.peer->write("VER 2 MSNP10\r\n");
        });
        probe.start(QStringLiteral("127.0.0.1"), server.server.serverPort());
        clock.now = 1000.5; // the connected reading
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished.first().at(0).toDouble(), 0.5);
        QCOMPARE(finished.first().at(1).toDouble(), 0.75);
        QCOMPARE(server.received, QByteArray("VER 2 MSNP10 MSNP9 CVR0\r\n"));
        QCOMPARE(server.connections, 1);
    }

    void endings_data()
    {
        QTest::addColumn<Behaviour>("behaviour");
        QTest::addColumn<QString>("ip");
        QTest::addColumn<double>("port"); // 0: the server's
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QByteArray>("received"); // "*": the probe line or nothing
        const QString local = QStringLiteral("127.0.0.1");
        // A server that speaks first may end the test before the probe goes out.
        QTest::newRow("greeting") << Behaviour::Greet << local << 0.0 << "finished" << QByteArray("*");
        QTest::newRow("flood") << Behaviour::Flood << local << 0.0 << "finished" << QByteArray("*");
        QTest::newRow("orderly close: keeps waiting") << Behaviour::Close << local << 0.0 << "waiting" << QByteArray();
        QTest::newRow("reset before the probe") << Behaviour::Reset << local << 0.0 << "Connection reset by peer"
                                                << QByteArray();
        QTest::newRow("reset after the probe") << Behaviour::ResetAfterProbe << local << 0.0
                                               << "Connection reset by peer" << ServerProbe::probeLine();
        QTest::newRow("refused") << Behaviour::Refuse << local << 0.0 << "Connection refused" << QByteArray();
        // Stopped, the probe says nothing more although the server greets it.
        QTest::newRow("stopped while connecting") << Behaviour::StopConnecting << local << 0.0 << "waiting" << QByteArray();
        QTest::newRow("stopped once connected") << Behaviour::StopConnected << local << 0.0 << "waiting" << QByteArray();
        QTest::newRow("no IP address") << Behaviour::Silent << " " << 1863.0 << "No IP address" << QByteArray();
        QTest::newRow("port too large") << Behaviour::Silent << local << 70000.0 << "Invalid port number" << QByteArray();
        QTest::newRow("port not whole") << Behaviour::Silent << local << 1863.5 << "Invalid port number" << QByteArray();
    }

    void endings()
    {
        QFETCH(Behaviour, behaviour);
        QFETCH(QString, ip);
        QFETCH(double, port);
        QFETCH(QString, outcome);
        QFETCH(QByteArray, received);
#ifdef Q_OS_WIN
        if (behaviour == Behaviour::Reset || behaviour == Behaviour::ResetAfterProbe)
            QSKIP("Qt on Windows reports a reset as \"Unable to write\" when it meets it writing and as an orderly "
                  "close when it meets it reading; which comes first is a race");
#endif
        LoopbackServer server(behaviour);
        FakeClock clock;
        ServerProbe probe(clock);
        QString seen;
        connect(&probe, &ServerProbe::finished, this, [&] { seen = "finished"; });
        connect(&probe, &ServerProbe::failed, this, [&](const QString &description) { seen = description; });
        port = port ? port : server.server.serverPort();
        if (behaviour == Behaviour::Refuse) // nobody listens there now
            server.server.close();
        if (behaviour == Behaviour::StopConnected)
            connect(&probe, &ServerProbe::connected, &probe, &ServerProbe::stop);
        probe.start(ip, port);
        QVERIFY(seen.isEmpty()); // reported from the event loop, never from start()
        if (behaviour == Behaviour::StopConnecting)
            probe.stop();
        const auto *socket = probe.findChild<QTcpSocket *>(QStringLiteral("sck"));
        // Settled: the probe's own connection has ended one way or another.
        QTRY_VERIFY_WITH_TIMEOUT(!seen.isEmpty() || (server.connections == 1 && server.peer
                                                     && server.peer->state() == QAbstractSocket::UnconnectedState
                                                     && socket->state() == QAbstractSocket::UnconnectedState),
                                 5000);
        QCoreApplication::processEvents();
        QCOMPARE(seen.isEmpty() ? QStringLiteral("waiting") : seen, outcome);
        if (received == "*")
            QVERIFY(server.received.isEmpty() || server.received == ServerProbe::probeLine());
        else
            QCOMPARE(server.received, received);
        QVERIFY(server.connections <= 1);
    }
};

QTEST_GUILESS_MAIN(TestServerProbe)
#include "tst_serverprobe.moc"
