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

// A kind of server on loopback, and what the single test and Test List say of it.
struct ServerCase
{
    Behaviour behaviour = Behaviour::Answer;
    QByteArray sends;                     // what it answers or greets with
    QString singleTest;                   // how the single test ends: "replied", "closed", "waiting" or the error
    QString reply;                        // Test List's Reply
    bool connects = true;
    bool responds = true;                 // a response time
    bool endsByTimeLimit = false;         // Test List waits out its time limit
    QString ip = QStringLiteral("127.0.0.1");
    double port = 0;                      // 0: the server's own
};

// A connection that plays its server at once, in one turn of the event loop
// and so before a probe line could go out: connected (or not yet), then one line.
class ScriptedConnection : public ProbeConnection
{
public:
    ScriptedConnection(bool connects, const QByteArray &line, QObject *parent) : ProbeConnection(parent)
    {
        QTimer::singleShot(0, this, [this, connects, line] {
            if (connects)
                Q_EMIT connected();
            Q_EMIT received(line);
        });
    }
    bool send(const QByteArray &, QString *) override { return true; }
    void abort() override { }
};

class ScriptedConnector : public ProbeConnector
{
public:
    ScriptedConnector(bool connects, const QByteArray &line) : m_connects(connects), m_line(line) { }
    ProbeConnection *connectTo(const QHostAddress &, quint16, QObject *parent) override
    {
        return new ScriptedConnection(m_connects, m_line, parent);
    }

private:
    bool m_connects;
    QByteArray m_line;
};

QString endText(const ProbeResult &result)
{
    switch (result.end) {
    case ProbeResult::End::Replied: return QStringLiteral("replied");
    case ProbeResult::End::Closed: return QStringLiteral("closed");
    default: return result.error;
    }
}

QVector<std::pair<QString, std::optional<double>>> rowsOf(const std::vector<std::unique_ptr<LoopbackServer>> &servers)
{
    QVector<std::pair<QString, std::optional<double>>> rows;
    for (const auto &server : servers)
        rows.append({QStringLiteral("127.0.0.1"), double(server->port)});
    return rows;
}

} // namespace

Q_DECLARE_METATYPE(ServerCase)

// Servers as the single test and Test List see them: what each kind of server
// ends with, what a reply line says, and the limits as the servers see them.
class TestListTest : public QObject
{
    Q_OBJECT

    CountingConnector m_connector;
    FakeClock m_clock;

private Q_SLOTS:
    // Lines that no server of servers() sends.
    void replyLines_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("text");
        QTest::newRow("our line repeated") << QByteArray("VER 2 MSNP10 MSNP9 CVR0") << "MSNP10";
        QTest::newRow("newer only") << QByteArray("VER 2 MSNP12 MSNP11") << "No common version";
        QTest::newRow("another transaction") << QByteArray("VER 7 MSNP10") << "Not a Messenger server";
        QTest::newRow("no transaction id") << QByteArray("VER MSNP10") << "Not a Messenger server";
        QTest::newRow("error of another transaction") << QByteArray("715 3") << "Not a Messenger server";
        QTest::newRow("error without id") << QByteArray("911") << "Not a Messenger server";
        QTest::newRow("web server error") << QByteArray("500 Internal Server Error") << "Not a Messenger server";
        QTest::newRow("four digits") << QByteArray("4000 2") << "Not a Messenger server";
        QTest::newRow("lower case") << QByteArray("ver 2 MSNP10") << "Not a Messenger server";
        QTest::newRow("empty line") << QByteArray() << "Not a Messenger server";
    }

    void replyLines()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, text);
        QCOMPARE(Reply::fromLine(line).text(), text);
    }

    // One server, tested at once by the single test (a probe without time
    // limit) and by Test List (one row).
    void servers_data()
    {
        QTest::addColumn<ServerCase>("server");
        const QString notMessenger = QStringLiteral("Not a Messenger server");
        const auto row = [](const char *name, const ServerCase &server) { QTest::newRow(name) << server; };
        row("Messenger server", {Behaviour::Answer, "VER 2 MSNP10\r\n", "replied", "MSNP10"});
        ServerCase onIPv6{Behaviour::Answer, "VER 2 MSNP10\r\n", "replied", "MSNP10"};
        onIPv6.ip = "::1";
        row("Messenger server on IPv6", onIPv6);
        row("byte by byte", {Behaviour::AnswerByteByByte, "VER 2 MSNP9 CVR0\r\nCVR", "replied", "MSNP9"});
        row("none shared", {Behaviour::Answer, "VER 2 0\r\n", "replied", "No common version"});
        row("error", {Behaviour::Answer, "715 2\r\n", "replied", "Error 715"});
        row("CR LF just past the limit", {Behaviour::Answer, QByteArray(257, 'V') + "\r\n", "replied", notMessenger});
        row("a line never ended by CR LF", {Behaviour::AnswerThenClose, "VER 2 MSNP10", "replied", notMessenger});
        row("mail server banner", {Behaviour::Greet, "220 mail.example ESMTP\r\n", "replied", notMessenger});
        row("close", {Behaviour::Close, {}, "closed", "Closed without reply", true, false});
        row("reset", {Behaviour::Reset, {}, "Connection reset by peer", "Error (Connection reset by peer)", true, false});
        row("reset after the probe", {Behaviour::ResetAfterProbe, {}, "Connection reset by peer",
                                      "Error (Connection reset by peer)", true, false});
        row("silent", {Behaviour::Silent, {}, "waiting", "No reply", true, false, true});
        row("refused", {Behaviour::Refuse, {}, "Connection refused", "Error (Connection refused)", false, false});
        ServerCase badName{Behaviour::Silent, {}, "Invalid hostname", "Error (Invalid hostname)", false, false};
        badName.ip = "a..b";
        row("invalid host name", badName);
        ServerCase noAddress{Behaviour::Silent, {}, "No IP address", "Error (No IP address)", false, false};
        noAddress.ip = " ";
        row("no IP address", noAddress);
        ServerCase largePort{Behaviour::Silent, {}, "Invalid port number", "Error (Invalid port number)", false, false};
        largePort.port = 70000;
        row("port too large", largePort);
        ServerCase brokenPort = largePort;
        brokenPort.port = 1863.5;
        row("port not whole", brokenPort);
    }

    void servers()
    {
        QFETCH(ServerCase, server);
        const bool reset = server.behaviour == Behaviour::Reset || server.behaviour == Behaviour::ResetAfterProbe;
        if (reset && wineReportsResetsAsCloses())
            QSKIP("Wine reports a reset of a connection that is made as an orderly close");
        const QHostAddress loopback = server.ip == "::1" ? QHostAddress::LocalHostIPv6 : QHostAddress::LocalHost;
        if (!QTcpServer().listen(loopback))
            QSKIP("This machine has no IPv6 loopback");
        LoopbackServer forSingle(server.behaviour, server.sends, loopback);
        LoopbackServer forList(server.behaviour, server.sends, loopback);
        ServerProbe single(m_clock, m_connector);
        QString singleEnd = QStringLiteral("waiting");
        connect(&single, &ServerProbe::ended, this, [&singleEnd](const ProbeResult &result) {
            singleEnd = endText(result);
        });
        single.start(server.ip, server.port ? server.port : forSingle.port);
        ListTest test(m_clock, m_connector);
        test.start({{server.ip, server.port ? server.port : forList.port}});
        QCOMPARE(singleEnd, "waiting"); // reported from the event loop, never from start()
        if (server.endsByTimeLimit) {
            QTRY_COMPARE(forList.received, ServerProbe::probeLine());
            m_clock.now += test.limits().timeLimit;
        }
        QTRY_VERIFY_WITH_TIMEOUT(!test.isRunning(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(singleEnd, server.singleTest, 5000);
        const ListTest::Result &result = test.result(0);
        QCOMPARE(result.reply.text(), server.reply);
        if (server.behaviour != Behaviour::Reset) // a reset may meet the connection before or after it is made
            QCOMPARE(result.connectionSeconds.has_value(), server.connects);
        QCOMPARE(result.responseSeconds.has_value(), server.responds);
        for (const LoopbackServer *each : {&forSingle, &forList}) {
            QVERIFY(each->connections <= 1);
            QVERIFY(each->received.isEmpty() || each->received == ServerProbe::probeLine());
        }
        QTRY_COMPARE(forList.openNow(), 0); // closed once the line is read
    }

    // Data before the probe line went out answers nothing of ours, whatever
    // it says; it still has a response time, and the table rates and sorts
    // it also when no connection time is known.
    void spokeFirst_data()
    {
        QTest::addColumn<bool>("connects");
        QTest::newRow("banner once connected") << true;
        QTest::newRow("a line while still connecting") << false;
    }

    void spokeFirst()
    {
        QFETCH(bool, connects);
        ScriptedConnector connector(connects, "VER 2 MSNP10\r\n");
        ListTest test(m_clock, connector);
        const ServerList list = ServerList::parse("a;10.0.0.1;1863\r\nb;10.0.0.2;1863\r\n", std::nullopt);
        ListTestModel model(test, list);
        model.start();
        QTRY_VERIFY(!test.isRunning());
        QCOMPARE(model.text(0, ListTestModel::ReplyColumn), "Not a Messenger server");
        QCOMPARE(test.result(0).connectionSeconds.has_value(), connects);
        QVERIFY(test.result(0).responseSeconds.has_value());
        QVERIFY(!model.text(0, ListTestModel::RatingColumn).isEmpty());
        QCOMPARE(model.bestFirst(), (QVector<int>{0, 1}));
    }

    // The limits, counted by the servers and by the connections below the
    // engine (a server cannot see an attempt that has not reached it).
    void limits()
    {
        std::vector<std::unique_ptr<LoopbackServer>> servers;
        for (int i = 0; i < 10; ++i)
            servers.push_back(std::make_unique<LoopbackServer>(i % 2 ? Behaviour::Silent : Behaviour::Answer));
        int mostOpenAtServers = 0;
        for (const auto &server : servers) {
            connect(&server->server, &QTcpServer::newConnection, this, [&] {
                int openAtServers = 0;
                for (const auto &each : servers)
                    openAtServers += each->openNow();
                mostOpenAtServers = std::max(mostOpenAtServers, openAtServers);
            });
        }
        ListTest test(m_clock, m_connector);
        test.setLimits({4, 10});
        QTimer clockHand; // ten seconds pass in every tenth of a second
        connect(&clockHand, &QTimer::timeout, this, [this] { m_clock.now += 0.1; });
        clockHand.start(1);
        test.start(rowsOf(servers) + rowsOf(servers)); // every server listed twice

        QTRY_VERIFY_WITH_TIMEOUT(!test.isRunning(), 10000);
        QCOMPARE(test.testedRows(), 20);
        for (int row = 0; row < 10; ++row) {
            QCOMPARE(test.result(row).reply.text(), row % 2 ? "No reply" : "MSNP10");
            QCOMPARE(test.result(row + 10).reply.text(), test.result(row).reply.text());
            QCOMPARE(servers[row]->connections, 1);
            QCOMPARE(servers[row]->received, ServerProbe::probeLine());
        }
        QCOMPARE(m_connector.mostPending, 4);
        QVERIFY(mostOpenAtServers <= 4);

        // Stop ends every test at once.
        clockHand.stop();
        test.start(rowsOf(servers));
        QTRY_COMPARE(servers[3]->connections, 2);
        test.stop();
        QTRY_VERIFY(std::all_of(servers.begin(), servers.end(), [](const auto &server) { return server->openNow() == 0; }));
        QVERIFY(!test.isRunning());
    }
};

QTEST_GUILESS_MAIN(TestListTest)
#include "tst_listtest.moc"
