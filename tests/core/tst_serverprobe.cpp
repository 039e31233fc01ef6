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

// The probe of the single test: a stop ends it, and the address it reaches.
// What it measures, and what each kind of server ends a test with: the
// Test Server window's suite and tst_listtest.
class TestServerProbe : public QObject
{
    Q_OBJECT

    std::unique_ptr<ProbeConnector> m_connector = createSystemConnector();

private Q_SLOTS:
    // Stopped, the probe says nothing more and sends nothing, although the
    // server greets it, and the connection is closed.
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
    // interface its scope names.
    void linkLocalScope()
    {
        const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
        if (interfaces.isEmpty())
            QSKIP("This machine has no network interface");
        const SocketAddress peer(QHostAddress("fe80::1%" + interfaces.last().name()), 1863);
        QCOMPARE(int(reinterpret_cast<const sockaddr_in6 *>(peer.data())->sin6_scope_id), interfaces.last().index());
    }
};

QTEST_GUILESS_MAIN(TestServerProbe)
#include "tst_serverprobe.moc"
