// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ServerProbe.h"
#include "platform/SocketConnection.h"
#include "platform/SystemConnector.h"
#include "support/FakePlatform.h"
#include "support/LoopbackServer.h"

#include <QNetworkInterface>
#include <QSignalSpy>
#include <QTest>

using Behaviour = LoopbackServer::Behaviour;

// The probe of the single test against servers on loopback: what it sends,
// what it measures on the clock it is given, and that a stop ends it.
class TestServerProbe : public QObject
{
    Q_OBJECT

    std::unique_ptr<ProbeConnector> m_connector = createSystemConnector();

private Q_SLOTS:
    // The four readings, in order: start, connected, sent and received.
    void timesTheReply()
    {
        LoopbackServer server(Behaviour::Answer);
        FakeClock clock;
        clock.queued = {1000.0, 1000.5, 1001.0, 1001.75};
        ServerProbe probe(clock, *m_connector);
        QSignalSpy ended(&probe, &ServerProbe::ended);
        probe.start(QStringLiteral("127.0.0.1"), server.port);
        QVERIFY(ended.wait(5000));
        const auto result = ended.first().at(0).value<ProbeResult>();
        QCOMPARE(result.connectionSeconds, 0.5);
        QCOMPARE(result.responseSeconds, 0.75);
        QCOMPARE(server.received, QByteArray("VER 2 MSNP10 MSNP9 CVR0\r\n"));
        QCOMPARE(server.connections, 1);
        QTRY_COMPARE(server.openNow(), 0); // closed once the line is read
    }

    // Stopped, the probe says nothing more and sends nothing, although the
    // server greets it. How each kind of server ends a test: tst_listtest.
    void stop_data()
    {
        QTest::addColumn<bool>("onceConnected"); // else while still connecting
        QTest::newRow("while connecting") << false;
        QTest::newRow("once connected") << true;
    }

    void stop()
    {
        QFETCH(bool, onceConnected);
        LoopbackServer server(Behaviour::Greet);
        FakeClock clock;
        ServerProbe probe(clock, *m_connector);
        QSignalSpy ended(&probe, &ServerProbe::ended);
        if (onceConnected)
            connect(&probe, &ServerProbe::connected, &probe, &ServerProbe::stop);
        probe.start(QStringLiteral("127.0.0.1"), server.port);
        if (!onceConnected)
            probe.stop();
        QTRY_VERIFY_WITH_TIMEOUT(server.connections == 1 && server.openNow() == 0, 5000);
        QCoreApplication::processEvents();
        QCOMPARE(ended.count(), 0);
        QCOMPARE(server.received, QByteArray());
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
