// SPDX-License-Identifier: GPL-3.0-or-later
// Test List against servers on 127.0.0.1 that run in a thread of their own,
// through the window itself:
//
// - 100 servers that answer at once: from the start to every row tested,
//   sorted and painted.
// - 1,000 servers, 100 of them dead (their hosts drop connection attempts
//   without an answer), with a 2 s time limit: the whole run, with the most
//   connections the servers saw open at once, the most attempts pending at
//   once (counted below the engine: a server cannot see an attempt that has
//   not reached it), the longest gap of a 10 ms timer of the window's event
//   loop, and the memory the run added per server (resident), and its live
//   heap, which less the 100 servers' gives what a server adds beyond the
//   run's fixed cost.

#include "BenchData.h"

#include "core/ListTest.h"
#include "core/ServerListModel.h"
#include "core/SteadyClock.h"
#include "support/CountingConnector.h"
#include "support/FakePlatform.h"
#include "ui/ServerSwitcher.h"
#include "ui/testlist/TestListDialog.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QHostAddress>
#include <QSemaphore>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <QTreeView>

#include <atomic>
#include <memory>
#include <vector>

#include <arpa/inet.h>
#include <malloc.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A listener on 127.0.0.1 whose accept queue is full: as the host of a dead
// server does, the system drops every further connection attempt without
// an answer. Its port, or 0 when it cannot be made.
class DeadServer
{
public:
    DeadServer()
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        // With a backlog of 0 the queue holds one connection, which the
        // filler takes.
        if (::bind(m_listener, reinterpret_cast<sockaddr *>(&address), size) != 0 || ::listen(m_listener, 0) != 0
            || ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &size) != 0)
            return;
        m_filler = ::socket(AF_INET, SOCK_STREAM, 0);
        if (::connect(m_filler, reinterpret_cast<sockaddr *>(&address), size) == 0)
            port = ntohs(address.sin_port);
    }
    ~DeadServer()
    {
        ::close(m_filler);
        ::close(m_listener);
    }
    DeadServer(const DeadServer &) = delete;
    DeadServer &operator=(const DeadServer &) = delete;

    quint16 port = 0;

private:
    int m_listener = -1;
    int m_filler = -1;
};

// Servers on 127.0.0.1, each a port of its own: every deadEvery-th one
// drops connection attempts, the others answer the probe line at once.
class ServerFarm : public QThread
{
public:
    ServerFarm(int count, int deadEvery)
        : m_count(count)
        , m_deadEvery(deadEvery)
    { }
    ~ServerFarm() override
    {
        quit();
        wait();
    }

    // The list of every server, once they all listen; empty when they cannot.
    QByteArray start()
    {
        QThread::start();
        m_ready.acquire();
        return m_list;
    }

    int mostOpen() const { return m_mostOpen; }

protected:
    void run() override
    {
        std::vector<std::unique_ptr<QTcpServer>> servers;
        std::vector<std::unique_ptr<DeadServer>> dead;
        QList<QTcpSocket *> open;
        QByteArray list;
        for (int n = 0; n < m_count; ++n) {
            if (m_deadEvery > 0 && n % m_deadEvery == m_deadEvery - 1) {
                dead.push_back(std::make_unique<DeadServer>());
                if (dead.back()->port == 0) {
                    m_ready.release();
                    return;
                }
                list += "dead" + QByteArray::number(n) + ";127.0.0.1;" + QByteArray::number(dead.back()->port) + "\r\n";
                continue;
            }
            auto server = std::make_unique<QTcpServer>();
            if (!server->listen(QHostAddress::LocalHost)) {
                m_ready.release();
                return;
            }
            QTcpServer *listener = server.get();
            QObject::connect(listener, &QTcpServer::newConnection, listener, [this, listener, &open] {
                while (QTcpSocket *socket = listener->nextPendingConnection()) {
                    open.append(socket);
                    countOpen(open);
                    QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                    QObject::connect(socket, &QObject::destroyed, listener,
                                     [socket, &open] { open.removeOne(socket); });
                    QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                        if (socket->bytesAvailable() >= 25) {
                            socket->readAll();
                            socket->write("VER 2 MSNP10\r\n");
                        }
                    });
                }
            });
            list += "server" + QByteArray::number(n) + ";127.0.0.1;" + QByteArray::number(listener->serverPort())
                + "\r\n";
            servers.push_back(std::move(server));
        }
        m_list = list;
        m_ready.release();
        exec();
    }

private:
    // The connections that the client has not closed, looked up in the
    // system: a socket learns of a close only on a later turn of its loop.
    void countOpen(const QList<QTcpSocket *> &sockets)
    {
        int count = 0;
        for (QTcpSocket *socket : sockets) {
            char byte = 0;
            if (::recv(int(socket->socketDescriptor()), &byte, 1, MSG_PEEK | MSG_DONTWAIT) != 0)
                ++count;
        }
        m_mostOpen = std::max(m_mostOpen.load(), count);
    }

    const int m_count;
    const int m_deadEvery;
    QSemaphore m_ready;
    QByteArray m_list;
    std::atomic<int> m_mostOpen{0};
};

// The heap the process holds in live allocations; unlike the resident size,
// it does not count what the allocator keeps after a free.
qint64 heapBytes()
{
    return qint64(mallinfo2().uordblks);
}

qint64 residentBytes()
{
    QFile status(QStringLiteral("/proc/self/statm"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = status.readAll().split(' ');
    return fields.value(1).toLongLong() * 4096;
}

// Enough file handles for a thousand servers and their clients.
void raiseFileLimit()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

struct Run
{
    double seconds = 0;
    double longestGapMs = 0;
    qint64 addedBytes = 0;
    qint64 addedHeapBytes = 0;
    int mostPending = 0;
    bool finished = false;
};

// One run of the window over the list, until every row is tested and the
// table painted.
Run testList(const QByteArray &list, double timeLimit)
{
    FakePlatform platform;
    SteadyClock clock;
    CountingConnector connector;
    UnavailableRegistry registry(QStringLiteral("No switch in the benchmark."));
    ServerListModel mainList;
    mainList.setList(ServerList::parse(list, std::nullopt));
    ServerSwitcher switcher(nullptr, registry, platform, mainList);

    Run run;
    const qint64 before = residentBytes();
    const qint64 heapBefore = heapBytes();
    TestListDialog dialog(clock, connector, switcher, mainList.list());
    dialog.findChild<ListTest *>()->setLimits({ListTest::Limits().open, timeLimit});
    dialog.show();

    auto lastTick = BenchData::Clock::now();
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const auto now = BenchData::Clock::now();
        run.longestGapMs = std::max(run.longestGapMs, 1000 * BenchData::secondsBetween(lastTick, now));
        lastTick = now;
    });
    ticker.start(10);

    const auto start = BenchData::Clock::now();
    auto *test = dialog.findChild<ListTest *>();
    dialog.start();
    const QDeadlineTimer deadline(60000);
    while (test->isRunning() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    dialog.findChild<QTreeView *>()->viewport()->repaint();
    run.seconds = BenchData::secondsBetween(start, BenchData::Clock::now());
    run.finished = !test->isRunning() && test->testedRows() == test->rowCount();
    run.addedBytes = residentBytes() - before;
    run.addedHeapBytes = heapBytes() - heapBefore;
    run.mostPending = connector.mostPending;
    return run;
}

void BM_TestList100Answering(benchmark::State &state)
{
    ServerFarm farm(100, 0);
    const QByteArray list = farm.start();
    if (list.isEmpty()) {
        state.SkipWithError("cannot listen on 127.0.0.1");
        return;
    }
    Run run;
    for (auto _ : state) {
        run = testList(list, 10);
        if (!run.finished) {
            state.SkipWithError("the test did not finish");
            return;
        }
        state.SetIterationTime(run.seconds);
    }
    // Against the 1,000 servers' run: what a server adds beyond the run's fixed cost.
    state.counters["added_heap_bytes"] = double(run.addedHeapBytes);
}

void BM_TestList1000With100Dead(benchmark::State &state)
{
    raiseFileLimit();
    ServerFarm farm(1000, 10);
    const QByteArray list = farm.start();
    if (list.isEmpty()) {
        state.SkipWithError("cannot listen on 127.0.0.1");
        return;
    }
    Run run;
    for (auto _ : state) {
        run = testList(list, 2);
        if (!run.finished) {
            state.SkipWithError("the test did not finish");
            return;
        }
        state.SetIterationTime(run.seconds);
    }
    state.counters["most_open_at_servers"] = farm.mostOpen();
    state.counters["most_pending"] = run.mostPending;
    state.counters["longest_gap_ms"] = run.longestGapMs;
    state.counters["added_bytes_per_server"] = double(run.addedBytes) / 1000;
    state.counters["added_heap_bytes"] = double(run.addedHeapBytes);
}

} // namespace

BENCHMARK(BM_TestList100Answering)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5)->Repetitions(3);
BENCHMARK(BM_TestList1000With100Dead)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);
