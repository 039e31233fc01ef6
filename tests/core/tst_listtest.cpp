#include "core/ListTest.h"
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
Q_DECLARE_METATYPE(LoopbackServer::Behaviour)

namespace {

QVector<std::pair<QString, std::optional<double>>> rowsOf(const std::vector<std::unique_ptr<LoopbackServer>> &servers)
{
    QVector<std::pair<QString, std::optional<double>>> rows;
    for (const auto &server : servers)
        rows.append({QStringLiteral("127.0.0.1"), double(server->port)});
    return rows;
}

} // namespace

// The test of a whole list: what each kind of server's row ends with, what
// the reply lines say, and the limits as the servers see them.
class TestListTest : public QObject
{
    Q_OBJECT

    CountingConnector m_connector;
    FakeClock m_clock;

private Q_SLOTS:
    void replyLines_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("text");
        QTest::newRow("shared version") << QByteArray("VER 2 MSNP10") << "MSNP10";
        QTest::newRow("every shared version") << QByteArray("VER 2 MSNP10 MSNP9 CVR0") << "MSNP10";
        QTest::newRow("only MSNP9") << QByteArray("VER 2 MSNP9 CVR0") << "MSNP9";
        QTest::newRow("none shared") << QByteArray("VER 2 0") << "No common version";
        QTest::newRow("newer only") << QByteArray("VER 2 MSNP12 MSNP11") << "No common version";
        QTest::newRow("version as transaction id") << QByteArray("VER MSNP10") << "No common version";
        QTest::newRow("error") << QByteArray("715 2") << "Error 715";
        QTest::newRow("error without id") << QByteArray("911") << "Error 911";
        QTest::newRow("four digits") << QByteArray("4000 2") << "Not a Messenger server";
        QTest::newRow("lower case") << QByteArray("ver 2 MSNP10") << "Not a Messenger server";
        QTest::newRow("web server") << QByteArray("HTTP/1.1 400 Bad Request") << "Not a Messenger server";
        QTest::newRow("empty line") << QByteArray() << "Not a Messenger server";
    }

    void replyLines()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, text);
        QCOMPARE(Reply::fromLine(line).text(), text);
    }

    // One server, one row: how it ends and what the row shows.
    void servers_data()
    {
        QTest::addColumn<Behaviour>("behaviour");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("ip");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<bool>("responded");
        const QString local = QStringLiteral("127.0.0.1");
        QTest::newRow("Messenger server") << Behaviour::Answer << QByteArray("VER 2 MSNP10\r\n") << local << "MSNP10"
                                          << true << true;
        QTest::newRow("byte by byte") << Behaviour::AnswerByteByByte << QByteArray("VER 2 MSNP9 CVR0\r\nCVR")
                                      << local << "MSNP9" << true << true;
        QTest::newRow("none shared, then close") << Behaviour::Answer << QByteArray("VER 2 0\r\n") << local
                                                 << "No common version" << true << true;
        QTest::newRow("error") << Behaviour::Answer << QByteArray("715 2\r\n") << local << "Error 715" << true << true;
        QTest::newRow("a line of 1 MB") << Behaviour::Answer << QByteArray(1 << 20, 'V') << local
                                        << "Not a Messenger server" << true << true;
        QTest::newRow("CR LF just past the limit") << Behaviour::Answer << QByteArray(257, 'V') + "\r\n" << local
                                                   << "Not a Messenger server" << true << true;
        QTest::newRow("close") << Behaviour::Close << QByteArray() << local << "Closed without reply" << true << false;
        QTest::newRow("reset") << Behaviour::Reset << QByteArray() << local << "Error (Connection reset by peer)"
                               << true << false;
        QTest::newRow("silent") << Behaviour::Silent << QByteArray() << local << "No reply" << true << false;
        QTest::newRow("refused") << Behaviour::Refuse << QByteArray() << local << "Error (Connection refused)"
                                 << false << false;
        QTest::newRow("invalid host name") << Behaviour::Silent << QByteArray() << "a..b" << "Error (Invalid hostname)"
                                           << false << false;
    }

    void servers()
    {
        QFETCH(Behaviour, behaviour);
        QFETCH(QByteArray, reply);
        QFETCH(QString, ip);
        QFETCH(QString, text);
        QFETCH(bool, connected);
        QFETCH(bool, responded);
        if (behaviour == Behaviour::Reset && wineReportsResetsAsCloses())
            QSKIP("Wine reports a reset of a connection that is made as an orderly close");
        LoopbackServer server(behaviour, reply);
        ListTest test(m_clock, m_connector);
        test.start({{ip, double(server.port)}});
        if (behaviour == Behaviour::Silent && ip == "127.0.0.1") {
            QTRY_COMPARE(server.received, ServerProbe::probeLine());
            m_clock.now += test.limits().timeLimit;
        }
        QTRY_VERIFY_WITH_TIMEOUT(!test.isRunning(), 5000);
        const ListTest::Result &result = test.result(0);
        // A reset may meet the connection before or after it is made.
        if (behaviour != Behaviour::Reset)
            QCOMPARE(result.connectionSeconds.has_value(), connected);
        QCOMPARE(result.reply.text(), text);
        QCOMPARE(result.responseSeconds.has_value(), responded);
        QVERIFY(server.connections <= 1);
        QTRY_COMPARE(server.openNow(), 0); // closed once the line is read
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
        test.setLimits({2, 4, 10});
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
        QCOMPARE(m_connector.mostPending, 2);
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
