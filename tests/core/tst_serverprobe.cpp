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
    enum class Behaviour { Silent, Greet, Flood, Close, Reset, ResetAfterProbe };

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
            if (behaviour == Behaviour::Greet || behaviour == Behaviour::Flood)
                peer->write(behaviour == Behaviour::Greet ? QByteArray("VER 2 MSNP10\r\n") : QByteArray(1 << 20, 'x'));
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
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QByteArray>("received"); // "*": the probe line or nothing
        // A server that speaks first may end the test before the probe goes out.
        QTest::newRow("greeting") << Behaviour::Greet << "finished" << QByteArray("*");
        QTest::newRow("flood") << Behaviour::Flood << "finished" << QByteArray("*");
        QTest::newRow("orderly close: keeps waiting") << Behaviour::Close << "waiting" << QByteArray();
        QTest::newRow("reset before the probe") << Behaviour::Reset << "Connection reset by peer" << QByteArray();
        QTest::newRow("reset after the probe") << Behaviour::ResetAfterProbe << "Connection reset by peer"
                                               << ServerProbe::probeLine();
    }

    void endings()
    {
        QFETCH(Behaviour, behaviour);
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
        probe.start(QStringLiteral("127.0.0.1"), server.server.serverPort());
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
        QCOMPARE(server.connections, 1);
    }

    void requestFails_data()
    {
        QTest::addColumn<QString>("ip");
        QTest::addColumn<double>("port");
        QTest::addColumn<QString>("description");
        QTest::newRow("refused") << "127.0.0.1" << -1.0 << "Connection refused";
        QTest::newRow("no IP address") << " " << 1863.0 << "No IP address";
        QTest::newRow("port too large") << "127.0.0.1" << 70000.0 << "Invalid port number";
        QTest::newRow("port not whole") << "127.0.0.1" << 1863.5 << "Invalid port number";
    }

    void requestFails()
    {
        QFETCH(QString, ip);
        QFETCH(double, port);
        QFETCH(QString, description);
        if (port < 0) { // a port nobody listens on
            QTcpServer closed;
            QVERIFY(closed.listen(QHostAddress::LocalHost));
            port = closed.serverPort();
        }
        FakeClock clock;
        ServerProbe probe(clock);
        QSignalSpy failed(&probe, &ServerProbe::failed);
        probe.start(ip, port);
        QCOMPARE(failed.size(), 0); // reported from the event loop, never from start()
        QVERIFY(failed.wait(5000));
        QCOMPARE(failed.first().first().toString(), description);
    }

    // Stopped while connecting or once connected, the probe says nothing
    // more, although the server greets it.
    void stop_data()
    {
        QTest::addColumn<bool>("onceConnected");
        QTest::newRow("while connecting") << false;
        QTest::newRow("once connected") << true;
    }

    void stop()
    {
        QFETCH(bool, onceConnected);
        LoopbackServer server(Behaviour::Greet);
        FakeClock clock;
        ServerProbe probe(clock);
        QSignalSpy finished(&probe, &ServerProbe::finished);
        QSignalSpy failed(&probe, &ServerProbe::failed);
        if (onceConnected)
            connect(&probe, &ServerProbe::connected, &probe, &ServerProbe::stop);
        probe.start(QStringLiteral("127.0.0.1"), server.server.serverPort());
        if (!onceConnected)
            probe.stop();
        QTRY_VERIFY_WITH_TIMEOUT(server.connections == 1 && server.peer->state() == QAbstractSocket::UnconnectedState,
                                 5000);
        QCoreApplication::processEvents();
        QCOMPARE(finished.size() + failed.size(), 0);
        QCOMPARE(server.received, QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestServerProbe)
#include "tst_serverprobe.moc"
