#include "core/ServerProbe.h"
#include "platform/SocketConnection.h"
#include "platform/SystemConnector.h"
#include "support/FakePlatform.h"
#include "support/LoopbackServer.h"

#include <QNetworkInterface>
#include <QSignalSpy>
#include <QTest>

using Behaviour = LoopbackServer::Behaviour;
Q_DECLARE_METATYPE(LoopbackServer::Behaviour)

// The probe of the single test against servers on loopback: what it sends,
// what it measures on the clock it is given, and how each kind of server ends
// the test.
class TestServerProbe : public QObject
{
    Q_OBJECT

    std::unique_ptr<ProbeConnector> m_connector = createSystemConnector();

private Q_SLOTS:
    // The readings: start, connected, sent and received, each moved on by
    // the test between the probe's steps.
    void timesTheReply()
    {
        LoopbackServer server(Behaviour::Silent);
        FakeClock clock;
        ServerProbe probe(clock, *m_connector);
        QSignalSpy ended(&probe, &ServerProbe::ended);
        connect(&probe, &ServerProbe::connected, this, [&] { clock.now = 1001.0; }); // the send reading
        connect(&probe, &ServerProbe::waiting, this, [&] {
            clock.now = 1001.75; // the received reading
            server.peer->write("VER 2 MSNP10\r\n");
        });
        probe.start(QStringLiteral("127.0.0.1"), server.port);
        clock.now = 1000.5; // the connected reading
        QVERIFY(ended.wait(5000));
        const auto result = ended.first().at(0).value<ProbeResult>();
        QCOMPARE(result.connectionSeconds, 0.5);
        QCOMPARE(result.responseSeconds, 0.75);
        QCOMPARE(server.received, QByteArray("VER 2 MSNP10 MSNP9 CVR0\r\n"));
        QCOMPARE(server.connections, 1);
    }

    void endings_data()
    {
        QTest::addColumn<Behaviour>("behaviour");
        QTest::addColumn<QString>("ip");
        QTest::addColumn<double>("port"); // 0: the server's
        QTest::addColumn<QString>("stop"); // when the test stops the probe
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QByteArray>("received"); // "*": the probe line or nothing
        const QString local = QStringLiteral("127.0.0.1");
        const QByteArray probe = ServerProbe::probeLine();
        // A server that speaks first may end the test before the probe goes out.
        QTest::newRow("greeting") << Behaviour::Greet << local << 0.0 << "" << "replied" << QByteArray("*");
        QTest::newRow("answer") << Behaviour::Answer << local << 0.0 << "" << "replied" << probe;
        QTest::newRow("answer on IPv6") << Behaviour::Answer << "::1" << 0.0 << "" << "replied" << probe;
        QTest::newRow("orderly close") << Behaviour::Close << local << 0.0 << "" << "closed" << QByteArray("*");
        QTest::newRow("reset before the probe") << Behaviour::Reset << local << 0.0 << ""
                                                << "Connection reset by peer" << QByteArray();
        QTest::newRow("reset after the probe") << Behaviour::ResetAfterProbe << local << 0.0 << ""
                                               << "Connection reset by peer" << probe;
        QTest::newRow("refused") << Behaviour::Refuse << local << 0.0 << "" << "Connection refused" << QByteArray();
        // Stopped, the probe says nothing more although the server greets it.
        QTest::newRow("stopped while connecting") << Behaviour::Greet << local << 0.0 << "connecting" << "stopped"
                                                  << QByteArray();
        QTest::newRow("stopped once connected") << Behaviour::Greet << local << 0.0 << "connected" << "stopped"
                                                << QByteArray();
        QTest::newRow("no IP address") << Behaviour::Silent << " " << 1863.0 << "" << "No IP address" << QByteArray();
        QTest::newRow("port too large") << Behaviour::Silent << local << 70000.0 << "" << "Invalid port number"
                                        << QByteArray();
        QTest::newRow("port not whole") << Behaviour::Silent << local << 1863.5 << "" << "Invalid port number"
                                        << QByteArray();
    }

    void endings()
    {
        QFETCH(Behaviour, behaviour);
        QFETCH(QString, ip);
        QFETCH(double, port);
        QFETCH(QString, stop);
        QFETCH(QString, outcome);
        QFETCH(QByteArray, received);
        const bool reset = behaviour == Behaviour::Reset || behaviour == Behaviour::ResetAfterProbe;
        if (reset && wineReportsResetsAsCloses())
            QSKIP("Wine reports a reset of a connection that is made as an orderly close");
        const QHostAddress loopback = ip == "::1" ? QHostAddress::LocalHostIPv6 : QHostAddress::LocalHost;
        if (!QTcpServer().listen(loopback))
            QSKIP("This machine has no IPv6 loopback");
        LoopbackServer server(behaviour, "VER 2 MSNP10\r\n", loopback);
        FakeClock clock;
        ServerProbe probe(clock, *m_connector);
        QString seen;
        connect(&probe, &ServerProbe::ended, this, [&](const ProbeResult &result) {
            const QMap<ProbeResult::End, QString> words{{ProbeResult::End::Replied, "replied"},
                                                        {ProbeResult::End::Closed, "closed"}};
            seen = words.value(result.end, result.error);
        });
        if (stop == "connected")
            connect(&probe, &ServerProbe::connected, &probe, &ServerProbe::stop);
        probe.start(ip, port ? port : server.port);
        QVERIFY(seen.isEmpty()); // reported from the event loop, never from start()
        if (stop == "connecting")
            probe.stop();
        // Settled: the probe's own connection has ended one way or another.
        QTRY_VERIFY_WITH_TIMEOUT(!seen.isEmpty() || (server.connections == 1 && server.openNow() == 0), 5000);
        QCoreApplication::processEvents();
        QCOMPARE(seen.isEmpty() ? QStringLiteral("stopped") : seen, outcome);
        if (received == "*")
            QVERIFY(server.received.isEmpty() || server.received == ServerProbe::probeLine());
        else
            QCOMPARE(server.received, received);
        QVERIFY(server.connections <= 1);
    }

    // A link-local IPv6 address (fe80::1%eth0) is reached through the
    // interface its scope names, by name or by number.
    void linkLocalScope_data()
    {
        QTest::addColumn<QString>("scope");
        QTest::addColumn<int>("interfaceIndex");
        QTest::newRow("number") << "7" << 7;
        const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
        if (!interfaces.isEmpty())
            QTest::newRow("name") << interfaces.last().name() << interfaces.last().index();
    }

    void linkLocalScope()
    {
        QFETCH(QString, scope);
        QFETCH(int, interfaceIndex);
        const SocketAddress peer(QHostAddress("fe80::1%" + scope), 1863);
        QCOMPARE(peer.family(), AF_INET6);
        QCOMPARE(int(reinterpret_cast<const sockaddr_in6 *>(peer.data())->sin6_scope_id), interfaceIndex);
    }
};

QTEST_GUILESS_MAIN(TestServerProbe)
#include "tst_serverprobe.moc"
