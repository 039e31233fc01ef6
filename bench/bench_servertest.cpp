// SPDX-License-Identifier: GPL-3.0-or-later
// The server test's own overhead: from the press of "Test Server" to the
// report box, against a server on 127.0.0.1 that answers the probe at once,
// less the time it takes to create and show the test dialog without a test.
// The two are measured in turns, like the start-up benchmarks.
//
// The server runs in a thread of its own, so that its answer does not wait
// for the window events of the dialog.

#include "BenchData.h"

#include "platform/MessageBoxes.h"
#include "core/SteadyClock.h"
#include "platform/SystemObjects.h"
#include "support/FakePlatform.h"
#include "ui/main/MainWindow.h"
#include "ui/servertest/ServerTestDialog.h"

#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QHostAddress>
#include <QPointer>
#include <QSemaphore>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <memory>

namespace {

constexpr int waitLimitMs = 5000;

// A Messenger server stand-in on 127.0.0.1 that answers whatever it is sent.
class ReplyingServer : public QThread
{
public:
    ~ReplyingServer() override
    {
        quit();
        wait();
    }

    // Starts the thread; the port is 0 when the server could not listen.
    quint16 start()
    {
        QThread::start();
        m_ready.acquire();
        return m_port;
    }

protected:
    void run() override
    {
        QTcpServer server;
        QObject::connect(&server, &QTcpServer::newConnection, &server, [&server] {
            while (QTcpSocket *socket = server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                    socket->readAll();
                    socket->write("VER 2 MSNP10 CVR0\r\n");
                    socket->flush();
                });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        if (server.listen(QHostAddress(QHostAddress::LocalHost), 0))
            m_port = server.serverPort();
        m_ready.release();
        if (m_port != 0)
            exec();
    }

private:
    QSemaphore m_ready;
    quint16 m_port = 0;
};

// Notes the first paint of one widget.
class PaintWatcher : public QObject
{
public:
    bool m_painted = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            m_painted = true;
        return false;
    }
};

// Runs the event loop until done() holds; false when the time ran out.
template<typename Done>
bool runUntil(Done done)
{
    QTimer wakeUp; // should nothing else happen
    wakeUp.start(waitLimitMs);
    const QDeadlineTimer deadline(waitLimitMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void closeDialogs(QWidget *window)
{
    const auto dialogs = window->findChildren<ServerTestDialog *>();
    for (ServerTestDialog *dialog : dialogs)
        dialog->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Press to report: the main window's button pressed, until the report box.
bool timeTest(QAbstractButton *button, FakePlatform &platform, double *seconds)
{
    bool reported = false;
    BenchData::Clock::time_point reportedAt;
    platform.onMessageBox = [&](const QString &, MessageStyle style) {
        if (style == MessageStyle::Information && !reported) {
            reportedAt = BenchData::Clock::now();
            reported = true;
        }
    };
    const auto pressedAt = BenchData::Clock::now();
    button->click();
    const bool ok = runUntil([&] { return reported; });
    platform.onMessageBox = nullptr;
    *seconds = BenchData::secondsBetween(pressedAt, reportedAt);
    return ok;
}

// The dialog alone: created, filled, shown the way the main window shows it,
// until its first paint.
bool timeShow(QWidget *window, FakePlatform &platform, quint16 port, double *seconds)
{
    const auto start = BenchData::Clock::now();
    auto *dialog = new ServerTestDialog(platform.clock, *platform.connector, platform, window);
    PaintWatcher watcher;
    dialog->installEventFilter(&watcher);
    dialog->setServer(QStringLiteral("localhost"), QStringLiteral("127.0.0.1"), double(port));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
    const bool ok = runUntil([&] { return watcher.m_painted; });
    *seconds = BenchData::secondsBetween(start, BenchData::Clock::now());
    dialog->removeEventFilter(&watcher);
    return ok;
}

void BM_ServerTestOverhead(benchmark::State &state)
{
    ReplyingServer server;
    const quint16 port = server.start();
    if (port == 0) {
        state.SkipWithError("cannot listen on 127.0.0.1");
        return;
    }

    FakePlatform platform;
    SteadyClock steadyClock;
    UnavailableRegistry registry(QStringLiteral("No switch in the benchmark."));
    MainWindow window(nullptr, registry, platform, platform, steadyClock, *platform.connector);
    window.setServerList(ServerList::parse("localhost;127.0.0.1;" + QByteArray::number(port) + "\r\n", std::nullopt));
    window.show();
    auto *button = window.findChild<QAbstractButton *>(QStringLiteral("cmdTestServer"));
    if (!button || !runUntil([&] { return window.isVisible(); })) {
        state.SkipWithError("no main window with a Test Server button");
        return;
    }

    double testTotal = 0;
    double showTotal = 0;
    bool showFirst = true;
    for (auto _ : state) {
        double testSeconds = 0;
        double showSeconds = 0;
        bool ok = true;
        for (int turn = 0; turn < 2 && ok; ++turn) {
            if ((turn == 0) == showFirst)
                ok = timeShow(&window, platform, port, &showSeconds);
            else
                ok = timeTest(button, platform, &testSeconds);
            closeDialogs(&window);
        }
        showFirst = !showFirst;
        if (!ok) {
            state.SkipWithError("a test or a show did not finish in time");
            break;
        }
        state.SetIterationTime(testSeconds);
        testTotal += testSeconds;
        showTotal += showSeconds;
    }
    if (state.iterations() > 0) {
        const double iterations = double(state.iterations());
        state.counters["press_to_report_ms"] = 1000 * testTotal / iterations;
        state.counters["show_ms"] = 1000 * showTotal / iterations;
        state.counters["overhead_ms"] = 1000 * (testTotal - showTotal) / iterations;
    }
    QStringList reports = platform.eventsOf(QStringLiteral("box"));
    reports.removeIf([](const QString &box) { return box.startsWith(QStringLiteral("information:")); });
    if (!reports.isEmpty())
        state.SkipWithError(qPrintable(QStringLiteral("unexpected box: ") + reports.first()));
}

} // namespace

BENCHMARK(BM_ServerTestOverhead)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(20)
    ->Repetitions(9)
    ->DisplayAggregatesOnly(true);
