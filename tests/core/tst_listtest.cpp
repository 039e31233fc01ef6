// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ListTest.h"
#include "core/ListTestModel.h"
#include "core/Rating.h"
#include "core/ServerProbe.h"
#include "platform/SocketConnection.h"
#include "support/CountingConnector.h"
#include "support/FakePlatform.h"
#include "support/LoopbackServer.h"

#include <QAbstractItemModelTester>
#include <QNetworkInterface>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <memory>

using Behaviour = LoopbackServer::Behaviour;

namespace {

// A kind of server on loopback, and what Test List says of it.
struct ServerCase
{
    Behaviour behaviour = Behaviour::Answer;
    QByteArray sends; // what it answers or greets with
    QString reply;
    QString ip = QStringLiteral("127.0.0.1");
    std::optional<double> port = std::nullopt; // unset: the server's own
};

// Connections that do on cue what no loopback server can: on port 1 the
// server's line comes before the connection is reported, in one turn of the
// event loop; on port 3 the start of a line comes with the connection, and
// then a reset; on any other the probe line cannot be sent once it is made.
class ScriptedConnection : public ProbeConnection
{
public:
    using ProbeConnection::ProbeConnection;
    bool send(const QByteArray &, QString *error) override
    {
        *error = QStringLiteral("Broken pipe");
        return false;
    }
    void abort() override { }
};

class ScriptedConnector : public ProbeConnector
{
public:
    ProbeConnection *connectTo(const QHostAddress &, quint16 port, QObject *parent) override
    {
        auto *connection = new ScriptedConnection(parent);
        QTimer::singleShot(0, connection, [connection, port] {
            if (port == 1) {
                Q_EMIT connection->received("VER 2 MSNP10\r\n");
                return;
            }
            Q_EMIT connection->connected();
            if (port == 3) {
                Q_EMIT connection->received("VER 2 MSNP10");
                QTimer::singleShot(0, connection, [connection] { Q_EMIT connection->failed("Connection reset"); });
            }
        });
        return connection;
    }
};

} // namespace

Q_DECLARE_METATYPE(ServerCase)

// Servers as Test List sees them: what each kind of server ends with, what a
// reply line says, and the limits as the servers see them; a probe stopped,
// the address a probe reaches, and the rating of a test's times.
class TestListTest : public QObject
{
    Q_OBJECT

    CountingConnector m_connector;
    FakeClock m_clock;

private Q_SLOTS:
    void servers_data()
    {
        QTest::addColumn<ServerCase>("server");
        const QString notMessenger = QStringLiteral("Not a Messenger server");
        // "VER 2 MSNP10" and blanks: a line of so many bytes before its CR LF.
        const auto lineOfLength = [](int length) {
            return QByteArray("VER 2 MSNP10").leftJustified(length, ' ') + "\r\n";
        };
        const auto row = [](const char *name, const ServerCase &server) { QTest::newRow(name) << server; };
        row("Messenger server, both versions", {Behaviour::Answer, "VER 2 MSNP9 MSNP10\r\n", "MSNP10"});
        row("Messenger server on IPv6", {Behaviour::Answer, "VER 2 MSNP10\r\n", "MSNP10", "::1"});
        row("another transaction", {Behaviour::Answer, "VER 7 MSNP10\r\n", notMessenger});
        row("error", {Behaviour::Answer, "715 2\r\n", "Error 715"});
        row("four digits, no error code", {Behaviour::Answer, "7150 2\r\n", notMessenger});
        row("a line as long as the limit", {Behaviour::Answer, lineOfLength(256), "MSNP10"});
        row("a line past the limit", {Behaviour::Answer, lineOfLength(257), notMessenger});
        row("a line cut off by a close", {Behaviour::Close, "VER 2 MSNP10", notMessenger});
        row("close", {Behaviour::Close, {}, "Closed without reply"});
        row("silent", {Behaviour::Silent, {}, "No reply"});
        row("invalid host name", {Behaviour::Refuse, {}, "Error (Invalid hostname)", "a..b"});
        row("port past the largest", {Behaviour::Refuse, {}, "Error (Invalid port number)", "127.0.0.1", 65536});
        row("port zero", {Behaviour::Refuse, {}, "Error (Invalid port number)", "127.0.0.1", 0});
    }

    void servers()
    {
        QFETCH(ServerCase, server);
        const QHostAddress loopback = server.ip == "::1" ? QHostAddress::LocalHostIPv6 : QHostAddress::LocalHost;
        if (!QTcpServer().listen(loopback))
            QSKIP("This machine has no IPv6 loopback");
        LoopbackServer loopbackServer(server.behaviour, server.sends, loopback);
        ListTest test(m_clock, m_connector);
        test.start({{server.ip, server.port.value_or(loopbackServer.port)}});
        if (server.behaviour == Behaviour::Silent) { // ten seconds from the start, not later
            m_clock.now += 5;
            QTRY_COMPARE(loopbackServer.received, QByteArray("VER 2 MSNP10 MSNP9 CVR0\r\n"));
            m_clock.now += 4.9;
            QTest::qWait(120);
            QVERIFY(test.isRunning());
            m_clock.now += 0.1;
        }
        QTRY_VERIFY_WITH_TIMEOUT(!test.isRunning(), 5000);
        QCOMPARE(test.result(0).reply.text(), server.reply);
    }

    // A line that came before the probe went out answers nothing of ours;
    // it still has a response time, and the table rates and sorts it also
    // without a connection time. The start of a line before the probe went
    // out keeps the probe back, and is still a reply when a reset follows.
    // A probe line that cannot be sent ends the test with the system's words.
    void scriptedConnections()
    {
        ScriptedConnector connector;
        ListTest test(m_clock, connector);
        ListTestModel model(test, ServerList::parse("a;10.0.0.1;2\r\nb;10.0.0.1;1\r\nc;10.0.0.1;3\r\n", std::nullopt));
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.start();
        QTRY_VERIFY(!test.isRunning());
        QCOMPARE(model.text(0, ListTestModel::ReplyColumn), "Error (Broken pipe)");
        QCOMPARE(model.text(1, ListTestModel::ReplyColumn), "Not a Messenger server");
        QVERIFY(!test.result(1).connectionSeconds);
        QVERIFY(!model.text(1, ListTestModel::RatingColumn).isEmpty());
        QCOMPARE(model.text(2, ListTestModel::ReplyColumn), "Not a Messenger server");
        QCOMPARE(model.bestFirst(), (QVector<int>{1, 2, 0}));
        // The numbers are right-aligned; the headers of the two times say how they are cut.
        QList<bool> rightAligned;
        QStringList toolTips;
        for (int column = 0; column < ListTestModel::ColumnCount; ++column) {
            rightAligned.append(model.index(0, column).data(Qt::TextAlignmentRole).value<Qt::Alignment>()
                                & Qt::AlignRight);
            toolTips.append(model.headerData(column, Qt::Horizontal, Qt::ToolTipRole).toString());
        }
        QCOMPARE(rightAligned, (QList<bool>{false, false, true, true, true, false, false}));
        const QString cut = QStringLiteral("Seconds, cut to hundredths");
        QCOMPARE(toolTips, (QStringList{{}, {}, {}, cut, cut, {}, {}}));
    }

    // The default limits, counted by the connections below the engine (a
    // server cannot see an attempt that has not reached it): 32 at once, and
    // one test per server, whose result every row naming it shares. The time
    // limit: the silent server above.
    void limits()
    {
        std::vector<std::unique_ptr<LoopbackServer>> servers;
        QVector<std::pair<QString, std::optional<double>>> rows;
        for (int i = 0; i < 40; ++i) {
            servers.push_back(std::make_unique<LoopbackServer>(Behaviour::Answer));
            rows.append({QStringLiteral("127.0.0.1"), double(servers.back()->port)});
        }
        ListTest test(m_clock, m_connector);
        test.start(rows + rows); // every server listed twice
        QTRY_VERIFY_WITH_TIMEOUT(!test.isRunning(), 10000);
        QCOMPARE(m_connector.mostPending, 32);
        QCOMPARE(test.testedRows(), 80);
        for (const auto &server : servers)
            QCOMPARE(server->connections, 1);
    }

    // Stopped once connected, with its probe line still to go out, the probe
    // sends nothing and says nothing more, and the connection is closed.
    void stop()
    {
        LoopbackServer server(Behaviour::Silent);
        ServerProbe probe(m_clock, m_connector);
        QSignalSpy ended(&probe, &ServerProbe::ended);
        connect(&probe, &ServerProbe::connected, &probe, &ServerProbe::stop);
        probe.start(QStringLiteral("127.0.0.1"), server.port);
        QTRY_VERIFY_WITH_TIMEOUT(server.connections == 1 && server.openNow() == 0, 5000);
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

    void rating_data()
    {
        QTest::addColumn<double>("connection");
        QTest::addColumn<double>("response");
        QTest::addColumn<QString>("report");
        const auto report = [](const char *connection, const char *response, const char *rating) {
            return QStringLiteral("Server test finished!\r\n====================\r\nConnection time: %1 seconds\r\n"
                                  "Response time: %2 seconds.\r\nRating: %3")
                .arg(QLatin1String(connection), QLatin1String(response), QLatin1String(rating));
        };
        // The bands include their upper bounds, compared in single precision.
        QTest::newRow("0.3 in single precision") << 0.2 << 0.2 << report("0.2", "0.2", "Very good");
        QTest::newRow("0.5") << 0.0 << 0.5 << report("0", "0.5", "Good");
        QTest::newRow("1") << 1.0 << 0.5 << report("1", "0.5", "Normal");
        QTest::newRow("1.5, half the connection time") << 3.0 << 0.0 << report("3", "0", "Poor");
        QTest::newRow("above 1.5") << 0.0 << 1.51 << report("0", "1.51", "Bad");
        // Cut to hundredths toward minus infinity, in double precision.
        QTest::newRow("cut, not rounded") << 0.4567 << 0.999 << report("0.45", "0.99", "Poor");
        QTest::newRow("negative goes down") << -0.001 << 0.0 << report("-0.01", "0", "Very good");
    }

    void rating()
    {
        QFETCH(double, connection);
        QFETCH(double, response);
        QFETCH(QString, report);
        QCOMPARE(testReportText(rateTest(connection, response)), report);
    }
};

QTEST_GUILESS_MAIN(TestListTest)
#include "tst_listtest.moc"
