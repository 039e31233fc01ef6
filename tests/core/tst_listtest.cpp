// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ListTest.h"
#include "core/ListTestModel.h"
#include "core/ServerProbe.h"
#include "support/CountingConnector.h"
#include "support/FakePlatform.h"
#include "support/LoopbackServer.h"

#include <QHostAddress>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>

using Behaviour = LoopbackServer::Behaviour;

namespace {

// A kind of server on loopback, and what Test List says of it.
struct ServerCase
{
    Behaviour behaviour = Behaviour::Answer;
    QByteArray sends; // what it answers or greets with
    QString reply;
    bool connects = true;
    bool responds = true; // a response time
    QString ip = QStringLiteral("127.0.0.1");
    double port = 0; // 0: the server's own
};

// A connection whose server speaks while it is still connecting, in one turn
// of the event loop and so before a probe line could go out.
class EarlyLineConnection : public ProbeConnection
{
public:
    using ProbeConnection::ProbeConnection;
    bool send(const QByteArray &, QString *) override { return true; }
    void abort() override { }
};

class EarlyLineConnector : public ProbeConnector
{
public:
    ProbeConnection *connectTo(const QHostAddress &, quint16, QObject *parent) override
    {
        auto *connection = new EarlyLineConnection(parent);
        QTimer::singleShot(0, connection, [connection] { Q_EMIT connection->received("VER 2 MSNP10\r\n"); });
        return connection;
    }
};

} // namespace

Q_DECLARE_METATYPE(ServerCase)

// Servers as Test List sees them: what each kind of server ends with, what a
// reply line says, and the limits as the servers see them.
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
        row("Messenger server", {Behaviour::Answer, "VER 2 MSNP10\r\n", "MSNP10"});
        row("Messenger server on IPv6, both versions",
            {Behaviour::Answer, "VER 2 MSNP9 MSNP10\r\n", "MSNP10", true, true, "::1"});
        row("Messenger 9, in two pieces", {Behaviour::AnswerInTwoPieces, "VER 2 MSNP9 CVR0\r\nCVR", "MSNP9"});
        row("none shared", {Behaviour::Answer, "VER 2 0\r\n", "No common version"});
        row("another transaction", {Behaviour::Answer, "VER 7 MSNP10\r\n", notMessenger});
        row("error", {Behaviour::Answer, "715 2\r\n", "Error 715"});
        row("four digits, no error code", {Behaviour::Answer, "7150 2\r\n", notMessenger});
        row("error of another transaction", {Behaviour::Answer, "715 3\r\n", notMessenger});
        row("a line as long as the limit", {Behaviour::Answer, lineOfLength(256), "MSNP10"});
        row("a line past the limit", {Behaviour::Answer, lineOfLength(257), notMessenger});
        row("a line never ended by CR LF", {Behaviour::AnswerThenClose, "VER 2 MSNP10", notMessenger});
        row("mail server banner", {Behaviour::Greet, "220 mail.example ESMTP\r\n", notMessenger});
        row("close", {Behaviour::Close, {}, "Closed without reply", true, false});
        row("reset after the probe", {Behaviour::ResetAfterProbe, {}, "Error (Connection reset by peer)", true, false});
        row("silent", {Behaviour::Silent, {}, "No reply", true, false});
        row("refused", {Behaviour::Refuse, {}, "Error (Connection refused)", false, false});
        row("invalid host name", {Behaviour::Silent, {}, "Error (Invalid hostname)", false, false, "a..b"});
        row("port too large", {Behaviour::Silent, {}, "Error (Invalid port number)", false, false, "127.0.0.1", 70000});
    }

    void servers()
    {
        QFETCH(ServerCase, server);
        if (server.behaviour == Behaviour::ResetAfterProbe && wineReportsResetsAsCloses())
            QSKIP("Wine reports a reset of a connection that is made as an orderly close");
        const QHostAddress loopback = server.ip == "::1" ? QHostAddress::LocalHostIPv6 : QHostAddress::LocalHost;
        if (!QTcpServer().listen(loopback))
            QSKIP("This machine has no IPv6 loopback");
        LoopbackServer loopbackServer(server.behaviour, server.sends, loopback);
        ListTest test(m_clock, m_connector);
        test.start({{server.ip, server.port ? server.port : loopbackServer.port}});
        if (server.behaviour == Behaviour::Silent && server.connects) { // ten seconds from the start, not later
            m_clock.now += 5;
            QTRY_COMPARE(loopbackServer.received, ServerProbe::probeLine());
            m_clock.now += 4.9;
            QTest::qWait(120);
            QVERIFY(test.isRunning());
            m_clock.now += 0.1;
        }
        QTRY_VERIFY_WITH_TIMEOUT(!test.isRunning(), 5000);
        const ListTest::Result &result = test.result(0);
        QCOMPARE(result.reply.text(), server.reply);
        QCOMPARE(result.connectionSeconds.has_value(), server.connects);
        QCOMPARE(result.responseSeconds.has_value(), server.responds);
        QVERIFY(loopbackServer.connections <= 1);
        QVERIFY(loopbackServer.received.isEmpty() || loopbackServer.received == ServerProbe::probeLine());
        QTRY_COMPARE(loopbackServer.openNow(), 0); // closed once the line is read
    }

    // A line before the probe went out answers nothing of ours; it still has
    // a response time, and the table rates and sorts it also when no
    // connection time is known.
    void lineWhileConnecting()
    {
        EarlyLineConnector connector;
        ListTest test(m_clock, connector);
        ListTestModel model(test, ServerList::parse("a;10.0.0.1;1863\r\nb;10.0.0.2;1863\r\n", std::nullopt));
        model.start();
        QTRY_VERIFY(!test.isRunning());
        QCOMPARE(model.text(0, ListTestModel::ReplyColumn), "Not a Messenger server");
        QVERIFY(!test.result(0).connectionSeconds);
        QVERIFY(!model.text(0, ListTestModel::RatingColumn).isEmpty());
        QCOMPARE(model.bestFirst(), (QVector<int>{0, 1}));
    }

    // The default limits, counted by the connections below the engine (a
    // server cannot see an attempt that has not reached it): 32 at once, one
    // test per server, ten seconds each; then Stop ends every test at once.
    void limits()
    {
        std::vector<std::unique_ptr<LoopbackServer>> servers;
        QVector<std::pair<QString, std::optional<double>>> rows;
        for (int i = 0; i < 40; ++i) {
            servers.push_back(std::make_unique<LoopbackServer>(i % 2 ? Behaviour::Silent : Behaviour::Answer));
            rows.append({QStringLiteral("127.0.0.1"), double(servers.back()->port)});
        }
        ListTest test(m_clock, m_connector);
        QTimer clockHand; // ten seconds pass in every tenth of a second
        connect(&clockHand, &QTimer::timeout, this, [this] { m_clock.now += 0.1; });
        clockHand.start(1);
        test.start(rows + rows); // every server listed twice

        QTRY_VERIFY_WITH_TIMEOUT(!test.isRunning(), 20000);
        QCOMPARE(test.testedRows(), 80);
        for (int row = 0; row < 40; ++row) {
            QCOMPARE(test.result(row).reply.text(), row % 2 ? "No reply" : "MSNP10");
            QCOMPARE(test.result(row + 40).reply.text(), test.result(row).reply.text());
            QCOMPARE(servers[row]->connections, 1);
        }
        QCOMPARE(m_connector.mostPending, 32);

        clockHand.stop();
        test.start(rows);
        QTRY_COMPARE(servers[31]->connections, 2);
        test.stop();
        QTRY_VERIFY(
            std::all_of(servers.begin(), servers.end(), [](const auto &server) { return server->openNow() == 0; }));
        QVERIFY(!test.isRunning());
    }
};

QTEST_GUILESS_MAIN(TestListTest)
#include "tst_listtest.moc"
