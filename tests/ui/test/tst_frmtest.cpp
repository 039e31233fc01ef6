#include "support/FakePlatform.h"
#include "ui/main/frmMain.h"
#include "ui/test/frmTest.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// "VER 2 MSNP10 MSNP9 CVR0" CR LF, as it must appear on the wire.
const QByteArray ProbeBytes =
    QByteArray::fromHex("564552203220" "4D534E50313020" "4D534E503920" "435652300D0A");
const QByteArray Reply = QByteArrayLiteral("VER 2 MSNP10 CVR0\r\n");
const QHostAddress Loopback = QHostAddress(QHostAddress::LocalHost);

// Runs the event loop until done() holds or the time is up. Unlike QTRY_*,
// it does not sleep between looks, so it adds no delay to what is timed.
// Deletions that a close posted from the test function itself run between
// the turns, as QTest::qWait runs them.
bool waitUntil(const std::function<bool()> &done, int timeoutMs = 5000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QEventLoop loop;
        QTimer::singleShot(1, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

int openDescriptors()
{
    int count = 0;
    for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

// A Messenger server stand-in on 127.0.0.1.
class LoopbackServer : public QObject
{
public:
    enum class Mode { Reply, Silent, CloseOnAccept, CloseOnProbe };

    explicit LoopbackServer(Mode mode = Mode::Reply, int delayMs = 0)
        : mode(mode)
        , delayMs(delayMs)
    {
        connect(&m_server, &QTcpServer::newConnection, this, &LoopbackServer::accept);
        m_server.listen(Loopback, 0);
    }
    bool isListening() const { return m_server.isListening(); }
    QString port() const { return QString::number(m_server.serverPort()); }

    Mode mode;
    int delayMs;
    QByteArray received; // all bytes of all connections
    int accepted = 0;
    int open = 0; // connections the client has not closed yet

private:
    void accept()
    {
        while (QTcpSocket *peer = m_server.nextPendingConnection()) {
            ++accepted;
            ++open;
            peer->setParent(this);
            connect(peer, &QTcpSocket::disconnected, peer, &QObject::deleteLater);
            connect(peer, &QObject::destroyed, this, [this] { --open; });
            connect(peer, &QTcpSocket::readyRead, this, [this, peer] { onData(peer); });
            if (mode == Mode::CloseOnAccept)
                peer->disconnectFromHost();
        }
    }

    void onData(QTcpSocket *peer)
    {
        const QByteArray bytes = peer->readAll();
        received += bytes;
        const qsizetype before = peer->property("received").toLongLong();
        peer->setProperty("received", before + bytes.size());
        if (before >= ProbeBytes.size() || before + bytes.size() < ProbeBytes.size())
            return; // answer once, when the probe is complete
        if (mode == Mode::CloseOnProbe) {
            peer->disconnectFromHost();
        } else if (mode == Mode::Reply) {
            if (delayMs == 0)
                peer->write(Reply);
            else
                QTimer::singleShot(delayMs, Qt::PreciseTimer, peer, [peer] { peer->write(Reply); });
        }
    }

    QTcpServer m_server;
};

// A plain listening socket on 127.0.0.1 with the given accept queue length.
int listenOnLoopback(int backlog, quint16 *port)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(listener, reinterpret_cast<sockaddr *>(&address), length) != 0 || ::listen(listener, backlog) != 0
        || ::getsockname(listener, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        qFatal("cannot listen on 127.0.0.1");
    *port = ntohs(address.sin_port);
    return listener;
}

// A server on its own thread, with plain sockets: it answers the probe while
// the GUI thread is busy, which a server on the GUI thread cannot do.
class ThreadedServer
{
public:
    ThreadedServer()
    {
        m_listener = listenOnLoopback(1, &m_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~ThreadedServer()
    {
        m_thread.join();
        ::close(m_listener);
    }
    QString port() const { return QString::number(m_port); }

    QSemaphore replied; // released once the reply is on its way

private:
    static bool readable(int fd)
    {
        pollfd entry{fd, POLLIN, 0};
        return ::poll(&entry, 1, 5000) == 1;
    }
    void serve()
    {
        if (!readable(m_listener))
            return;
        const int peer = ::accept(m_listener, nullptr, nullptr);
        QByteArray received;
        char buffer[256];
        while (received.size() < ProbeBytes.size() && readable(peer)) {
            const ssize_t n = ::read(peer, buffer, sizeof buffer);
            if (n <= 0)
                break;
            received.append(buffer, n);
        }
        (void)::write(peer, Reply.constData(), size_t(Reply.size()));
        replied.release();
        while (readable(peer) && ::read(peer, buffer, sizeof buffer) > 0) {
        }
        ::close(peer);
    }

    int m_listener = -1;
    quint16 m_port = 0;
    std::thread m_thread;
};

// A listening port whose accept queue is full: a connection to it stays
// pending (its SYN is dropped) until the client gives up.
class FullBacklog
{
public:
    FullBacklog()
    {
        m_listener = listenOnLoopback(0, &m_port);
        m_filler.connectToHost(Loopback, m_port);
        m_filled = m_filler.waitForConnected(2000);
    }
    ~FullBacklog() { ::close(m_listener); }
    bool isFull() const { return m_filled; }
    QString port() const { return QString::number(m_port); }

private:
    int m_listener = -1;
    quint16 m_port = 0;
    QTcpSocket m_filler;
    bool m_filled = false;
};

// A loopback port that nothing listens on.
QString closedPort()
{
    QTcpServer server;
    server.listen(Loopback, 0);
    return QString::number(server.serverPort());
}

QString label(QWidget *dialog, const char *name)
{
    return dialog->findChild<QLabel *>(QLatin1String(name))->text();
}

QProgressBar *bar(QWidget *dialog)
{
    return dialog->findChild<QProgressBar *>(QStringLiteral("prg"));
}

QTcpSocket *socketOf(QWidget *dialog)
{
    return dialog->findChild<QTcpSocket *>(QStringLiteral("sck"));
}

// The two times of a report, in seconds.
std::pair<double, double> reportedTimes(const QString &report)
{
    static const QRegularExpression times(
        QStringLiteral("Connection time: (\\S+) seconds\r\nResponse time: (\\S+) seconds\\."));
    const QRegularExpressionMatch match = times.match(report);
    if (!match.hasMatch())
        return {-1, -1};
    return {QLocale::c().toDouble(match.captured(1)), QLocale::c().toDouble(match.captured(2))};
}

} // namespace

class TestFrmTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakePlatform> m_platform;
    QList<QPointer<QWidget>> m_windows;

    // A dialog as the main window makes one, shown, its test started.
    frmTest *startTest(FakePlatform &platform, const QString &port, const QString &ip = QStringLiteral("127.0.0.1"))
    {
        auto *dialog = new frmTest(platform);
        m_windows.append(dialog);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->setServer(QStringLiteral("loopback"), ip, port);
        dialog->LaunchTest();
        dialog->show();
        return dialog;
    }
    frmTest *startTest(const QString &port) { return startTest(*m_platform, port); }

    static bool isWaiting(QWidget *dialog)
    {
        return label(dialog, "lblStatus") == QLatin1String("Waiting for response...");
    }

    // The state table: labels, bar and pointer.
    static void verifyState(QWidget *dialog, const QString &testing, const QString &status, int value,
                            Qt::CursorShape pointer)
    {
        QCOMPARE(label(dialog, "lblTesting"), testing);
        QCOMPARE(label(dialog, "lblStatus"), status);
        QCOMPARE(bar(dialog)->value(), value);
        QCOMPARE(dialog->cursor().shape(), pointer);
    }

private Q_SLOTS:
    void init()
    {
        QLocale::setDefault(QLocale::c());
        m_platform = std::make_unique<FakePlatform>();
    }
    void cleanup()
    {
        for (const QPointer<QWidget> &window : std::as_const(m_windows))
            delete window.data();
        m_windows.clear();
    }

    void layout_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("rect");
        QTest::newRow("txtIP") << "txtIP" << QRect(24, 8, 313, 13);
        QTest::newRow("txtHostname") << "txtHostname" << QRect(64, 24, 273, 13);
        QTest::newRow("txtPort") << "txtPort" << QRect(40, 40, 297, 13);
        QTest::newRow("prg") << "prg" << QRect(8, 56, 329, 17);
        QTest::newRow("cmdClose") << "cmdClose" << QRect(256, 80, 81, 25);
    }
    void layout()
    {
        QFETCH(QString, name);
        QFETCH(QRect, rect);
        frmTest dialog(*m_platform);
        const auto *widget = dialog.findChild<QWidget *>(name);
        QVERIFY(widget);
        QCOMPARE(widget->geometry(), rect);
    }

    void dialogBeforeTest()
    {
        frmTest dialog(*m_platform);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Server Test"));
        QCOMPARE(dialog.size(), QSize(346, 113));
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        const Qt::WindowFlags flags = dialog.windowFlags();
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(dialog.font().family(), QStringLiteral("Tahoma"));
        QCOMPARE(dialog.font().pointSizeF(), 8.25);

        // Design texts, the bar empty, the hourglass from creation.
        QCOMPARE(dialog.findChild<QLineEdit *>("txtIP")->text(), QStringLiteral("127.0.0.1"));
        QCOMPARE(dialog.findChild<QLineEdit *>("txtHostname")->text(), QStringLiteral("localhost"));
        QCOMPARE(dialog.findChild<QLineEdit *>("txtPort")->text(), QStringLiteral("80"));
        QCOMPARE(label(&dialog, "lblIP"), QStringLiteral("IP:"));
        QCOMPARE(label(&dialog, "lblHostName"), QStringLiteral("Hostname:"));
        QCOMPARE(label(&dialog, "lblPort"), QStringLiteral("Port:"));
        QCOMPARE(dialog.findChild<QPushButton *>("cmdClose")->text(), QStringLiteral("Close"));
        QCOMPARE(bar(&dialog)->minimum(), 0);
        QCOMPARE(bar(&dialog)->maximum(), 3);
        verifyState(&dialog, "Ready", "Ready", 0, Qt::WaitCursor);
        QVERIFY(socketOf(&dialog));
        QCOMPARE(socketOf(&dialog)->state(), QAbstractSocket::UnconnectedState);

        // Borderless boxes on the button face.
        for (const char *name : {"txtIP", "txtHostname", "txtPort"}) {
            const auto *box = dialog.findChild<QLineEdit *>(name);
            QVERIFY2(!box->hasFrame(), name);
            QCOMPARE(box->palette().color(QPalette::Base), box->palette().color(QPalette::Button));
            QVERIFY2(!box->accessibleName().isEmpty(), name);
        }
        QVERIFY(!bar(&dialog)->accessibleName().isEmpty());

        // Tab order: the boxes top to bottom, then Close.
        QStringList order;
        QWidget *widget = dialog.findChild<QWidget *>("txtIP");
        do {
            if (widget->focusPolicy() & Qt::TabFocus)
                order << widget->objectName();
            widget = widget->nextInFocusChain();
        } while (widget->objectName() != QLatin1String("txtIP"));
        QCOMPARE(order, QStringList({"txtIP", "txtHostname", "txtPort", "cmdClose"}));
    }

    void setServerFillsTheBoxes()
    {
        frmTest dialog(*m_platform);
        const QString longHost = QStringLiteral("<b>messenger</b>.") + QString(300, QLatin1Char('x'));
        dialog.setServer(longHost, QStringLiteral("127.0.0.1"), QStringLiteral("1863"));
        const auto *host = dialog.findChild<QLineEdit *>("txtHostname");
        QCOMPARE(host->text(), longHost); // as plain text, whole
        QCOMPARE(host->cursorPosition(), 0); // its start in view
        QCOMPARE(dialog.findChild<QLineEdit *>("txtPort")->text(), QStringLiteral("1863"));
    }

    // Labels size themselves to their text and keep one edge: the left one,
    // or for lblStatus the right one, 7 pixels before Close.
    void labelsFitTheirText()
    {
        LoopbackServer server(LoopbackServer::Mode::Silent);
        QPointer<frmTest> dialog = new frmTest(*m_platform);
        m_windows.append(dialog.data());
        const auto verifyLabels = [&] {
            const struct { const char *name; int edge; int top; } labels[] = {
                {"lblIP", 8, 8}, {"lblHostName", 8, 24}, {"lblPort", 8, 40}, {"lblTesting", 8, 80}, {"lblStatus", -249, 80},
            };
            for (const auto &expected : labels) {
                const auto *label = dialog->findChild<QLabel *>(expected.name);
                const QRect rect = label->geometry();
                QCOMPARE(expected.edge > 0 ? rect.left() : -(rect.left() + rect.width()), expected.edge);
                QCOMPARE(rect.top(), expected.top);
                QCOMPARE(rect.height(), 13);
                QCOMPARE(label->fontMetrics().elidedText(label->text(), Qt::ElideRight, rect.width()), label->text());
                QVERIFY(rect.width() <= label->fontMetrics().horizontalAdvance(label->text()) + 1);
            }
            const auto *testing = dialog->findChild<QLabel *>("lblTesting");
            QVERIFY(testing->geometry().right() < dialog->findChild<QLabel *>("lblStatus")->geometry().left());
        };
        verifyLabels();
        dialog->setServer(QStringLiteral("loopback"), QStringLiteral("127.0.0.1"), server.port());
        dialog->LaunchTest();
        dialog->show();
        verifyLabels();
        QVERIFY(waitUntil([&] { return isWaiting(dialog); }));
        verifyLabels();
    }

    void longErrorStaysClearOfStatus()
    {
        // A large font makes "Error (Connection refused)" too wide for the room
        // left of "Connecting...": it shows cut short, whole in the tool tip.
        QPointer<frmTest> dialog = new frmTest(*m_platform);
        m_windows.append(dialog.data());
        QFont font = dialog->font();
        font.setPointSize(16);
        dialog->setFont(font);
        dialog->setServer(QStringLiteral("loopback"), QStringLiteral("127.0.0.1"), closedPort());
        dialog->LaunchTest();
        dialog->show();
        const auto *testing = dialog->findChild<QLabel *>("lblTesting");
        const auto *status = dialog->findChild<QLabel *>("lblStatus");
        QVERIFY(waitUntil([&] { return testing->text().startsWith(QLatin1String("Error (")); }));
        QCOMPARE(testing->text(), QStringLiteral("Error (Connection refused)"));
        QCOMPARE(testing->geometry().left(), 8);
        QCOMPARE(testing->geometry().right() + 1 + 7, status->geometry().left());
        QCOMPARE(testing->toolTip(), testing->text());
        QCOMPARE(status->geometry().left() + status->width(), 249);
    }

    void escAndEnterDoNotClose_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("key");
        QTest::newRow("Esc in the dialog") << "frmTest" << int(Qt::Key_Escape);
        QTest::newRow("Esc on Close") << "cmdClose" << int(Qt::Key_Escape);
        QTest::newRow("Esc in a box") << "txtIP" << int(Qt::Key_Escape);
        QTest::newRow("Return on Close") << "cmdClose" << int(Qt::Key_Return);
        QTest::newRow("Enter on Close") << "cmdClose" << int(Qt::Key_Enter);
        QTest::newRow("Return in a box") << "txtPort" << int(Qt::Key_Return);
    }
    void escAndEnterDoNotClose()
    {
        QFETCH(QString, target);
        QFETCH(int, key);
        LoopbackServer server(LoopbackServer::Mode::Silent);
        QPointer<frmTest> dialog = startTest(server.port());
        QSignalSpy finished(dialog.data(), &QDialog::finished);
        QWidget *widget = target == dialog->objectName() ? dialog.data() : dialog->findChild<QWidget *>(target);
        widget->setFocus();
        QTest::keyClick(widget, Qt::Key(key));
        QVERIFY(waitUntil([&] { return isWaiting(dialog); }));
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(finished.count(), 0);
    }

    void probeIsSentOnceAndReportFollows()
    {
        LoopbackServer server;
        QVERIFY(server.isListening());
        frmTest *dialog = startTest(server.port());
        verifyState(dialog, "Test in progress...", "Connecting...", 0, Qt::WaitCursor);

        QVERIFY(waitUntil([&] { return !m_platform->messageBoxes.isEmpty(); }));
        verifyState(dialog, "Finished!", "Finished!", 3, Qt::ArrowCursor);
        QCOMPARE(socketOf(dialog)->state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(m_platform->messageBoxes.first().style, 64);
        QVERIFY(m_platform->messageBoxes.first().text.startsWith(
            QStringLiteral("Server test finished!\r\n====================\r\nConnection time: ")));
        QVERIFY(dialog->isVisible()); // stays open after the report

        QTest::qWait(200);
        QCOMPARE(server.received, ProbeBytes); // 25 bytes, nothing more
        QCOMPARE(server.accepted, 1);
        QCOMPARE(m_platform->messageBoxes.size(), 1);
        QCOMPARE(server.open, 0); // the dialog closed the connection
    }

    void portCell_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("number") << "";
        QTest::newRow("number then letters") << "abc";
        QTest::newRow("blanks inside") << " ";
    }
    void portCell()
    {
        QFETCH(QString, suffix);
        LoopbackServer server;
        QString port = server.port();
        if (suffix == QLatin1String(" "))
            port.insert(1, suffix);
        else
            port += suffix;
        startTest(port);
        QVERIFY(waitUntil([&] { return !m_platform->messageBoxes.isEmpty(); }));
        QCOMPARE(server.received, ProbeBytes);
    }

    void immediateReplyReportsZero()
    {
        // Both times floor to 0 on loopback; a busy machine gets three tries.
        QString report;
        for (int attempt = 0; attempt < 3; ++attempt) {
            LoopbackServer server;
            FakePlatform platform;
            frmTest *dialog = startTest(platform, server.port());
            QVERIFY(waitUntil([&] { return !platform.messageBoxes.isEmpty(); }));
            report = platform.messageBoxes.first().text;
            dialog->close();
            if (report == QStringLiteral("Server test finished!\r\n====================\r\nConnection time: 0 seconds\r\n"
                                         "Response time: 0 seconds.\r\nRating: Very good"))
                return;
        }
        QFAIL(qPrintable(report));
    }

    void delayedReply_data()
    {
        QTest::addColumn<int>("delayMs");
        QTest::newRow("150 ms") << 150;
        QTest::newRow("350 ms") << 350;
    }
    void delayedReply()
    {
        QFETCH(int, delayMs);
        const double delay = delayMs / 1000.0;
        double response = -1;
        // Never below the delay; above it by less than 0.05 s, with three
        // tries for a machine that is busy with other work.
        for (int attempt = 0; attempt < 3; ++attempt) {
            LoopbackServer server(LoopbackServer::Mode::Reply, delayMs);
            FakePlatform platform;
            frmTest *dialog = startTest(platform, server.port());
            QVERIFY(waitUntil([&] { return !platform.messageBoxes.isEmpty(); }));
            response = reportedTimes(platform.messageBoxes.first().text).second;
            dialog->close();
            QVERIFY2(response >= delay, qPrintable(platform.messageBoxes.first().text));
            if (response < delay + 0.05)
                return;
        }
        QFAIL(qPrintable(QStringLiteral("response time %1 s for a delay of %2 s").arg(response).arg(delay)));
    }

    void refusedConnection()
    {
        frmTest *dialog = startTest(closedPort());
        QVERIFY(waitUntil([&] { return label(dialog, "lblTesting").startsWith(QLatin1String("Error (")); }));
        verifyState(dialog, "Error (Connection refused)", "Connecting...", 0, Qt::ArrowCursor);
        QCOMPARE(socketOf(dialog)->state(), QAbstractSocket::UnconnectedState);
        QTest::qWait(50);
        QVERIFY(m_platform->messageBoxes.isEmpty());
        QVERIFY(dialog->isVisible());
    }

    void requestThatCannotGoOut_data()
    {
        QTest::addColumn<QString>("ip");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("error");
        QTest::newRow("empty IP address") << "" << "1863" << "Error (No IP address)";
        QTest::newRow("blank IP address") << "  " << "1863" << "Error (No IP address)";
        QTest::newRow("port 0") << "127.0.0.1" << "0" << "Error (Invalid port number)";
        QTest::newRow("no number") << "127.0.0.1" << "abc" << "Error (Invalid port number)";
        QTest::newRow("empty port") << "127.0.0.1" << "" << "Error (Invalid port number)";
        QTest::newRow("port 65536") << "127.0.0.1" << "65536" << "Error (Invalid port number)";
        QTest::newRow("negative port") << "127.0.0.1" << "-1863" << "Error (Invalid port number)";
        QTest::newRow("fractional port") << "127.0.0.1" << "1863.5" << "Error (Invalid port number)";
        QTest::newRow("port 70000 would wrap to 4464") << "127.0.0.1" << "70000" << "Error (Invalid port number)";
    }
    void requestThatCannotGoOut()
    {
        QFETCH(QString, ip);
        QFETCH(QString, port);
        QFETCH(QString, error);
        frmTest *dialog = startTest(*m_platform, port, ip);
        verifyState(dialog, error, "Connecting...", 0, Qt::ArrowCursor);
        QCOMPARE(socketOf(dialog)->state(), QAbstractSocket::UnconnectedState);
        QTest::qWait(50);
        verifyState(dialog, error, "Connecting...", 0, Qt::ArrowCursor);
        QVERIFY(m_platform->messageBoxes.isEmpty());
    }

    void errorAfterSend()
    {
        LoopbackServer server(LoopbackServer::Mode::Silent);
        frmTest *dialog = startTest(server.port());
        QVERIFY(waitUntil([&] { return isWaiting(dialog); }));
        // On Linux a connection that fails after the send ends like a remote
        // close; the error path is driven as the socket would report it.
        Q_EMIT socketOf(dialog)->errorOccurred(QAbstractSocket::NetworkError);
        verifyState(dialog, "Error (" + socketOf(dialog)->errorString() + ")", "Waiting for response...", 2,
                    Qt::ArrowCursor);
        QCOMPARE(socketOf(dialog)->state(), QAbstractSocket::UnconnectedState);
        QVERIFY(waitUntil([&] { return server.open == 0; }));
        QVERIFY(m_platform->messageBoxes.isEmpty());
    }

    void silentServerKeepsWaiting()
    {
        LoopbackServer server(LoopbackServer::Mode::Silent);
        QPointer<frmTest> dialog = startTest(server.port());
        QVERIFY(waitUntil([&] { return isWaiting(dialog); }));
        QTest::qWait(300);
        verifyState(dialog, "Test in progress...", "Waiting for response...", 2, Qt::WaitCursor);
        QCOMPARE(server.received, ProbeBytes);
        QVERIFY(m_platform->messageBoxes.isEmpty());
    }

    void remoteCloseWithoutDataKeepsWaiting_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("closed on accept") << int(LoopbackServer::Mode::CloseOnAccept);
        QTest::newRow("closed on the probe") << int(LoopbackServer::Mode::CloseOnProbe);
    }
    void remoteCloseWithoutDataKeepsWaiting()
    {
        QFETCH(int, mode);
        LoopbackServer server{LoopbackServer::Mode(mode)};
        QPointer<frmTest> dialog = startTest(server.port());
        QVERIFY(waitUntil([&] { return server.accepted == 1 && server.open == 0; }));
        QVERIFY(waitUntil([&] { return isWaiting(dialog); }));
        QTest::qWait(100);
        verifyState(dialog, "Test in progress...", "Waiting for response...", 2, Qt::WaitCursor);
        QCOMPARE(socketOf(dialog)->state(), QAbstractSocket::UnconnectedState); // released
        QVERIFY(m_platform->messageBoxes.isEmpty());
    }

    void greetingBeforeTheProbe()
    {
        QTcpServer server;
        QVERIFY(server.listen(Loopback, 0));
        frmTest *dialog = startTest(QString::number(server.serverPort()));
        // The greeting is on its way before the dialog handles the connection.
        QVERIFY(server.waitForNewConnection(2000));
        QTcpSocket *peer = server.nextPendingConnection();
        peer->write("HELLO\r\n");
        QVERIFY(peer->waitForBytesWritten(2000));
        QThread::msleep(20);
        QList<int> values;
        connect(bar(dialog), &QProgressBar::valueChanged, this, [&](int value) { values << value; });

        QVERIFY(waitUntil([&] { return !m_platform->messageBoxes.isEmpty(); }));
        verifyState(dialog, "Finished!", "Finished!", 3, Qt::ArrowCursor);
        QCOMPARE(values, QList<int>({1, 3}));
        QCOMPARE(reportedTimes(m_platform->messageBoxes.first().text).second, 0.0);
        QVERIFY(waitUntil([&] { return peer->state() == QAbstractSocket::UnconnectedState; }));
        QCOMPARE(peer->readAll(), QByteArray()); // nothing was sent
    }

    void replyInsideTheConnectHandler()
    {
        ThreadedServer server;
        frmTest *dialog = startTest(server.port());
        QList<int> values;
        connect(bar(dialog), &QProgressBar::valueChanged, this, [&](int value) { values << value; });
        // Once the probe is out, hold the dialog until the reply is here: the
        // connect handler's second event run then handles it.
        connect(socketOf(dialog), &QTcpSocket::bytesWritten, this, [&] {
            QVERIFY(server.replied.tryAcquire(1, 5000));
            QThread::msleep(20);
        });
        QVERIFY(waitUntil([&] { return !m_platform->messageBoxes.isEmpty(); }));
        QCOMPARE(values, QList<int>({1, 3})); // the waiting state never came back
        QTest::qWait(50);
        verifyState(dialog, "Finished!", "Finished!", 3, Qt::ArrowCursor);
        QCOMPARE(m_platform->messageBoxes.size(), 1);
    }

    void closeWhileConnecting_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("Close button") << false;
        QTest::newRow("close box") << true;
    }
    void closeWhileConnecting()
    {
        QFETCH(bool, closeBox);
        FullBacklog server;
        QVERIFY(server.isFull());
        QPointer<frmTest> dialog = startTest(server.port());
        QSignalSpy finished(dialog.data(), &QDialog::finished);
        QTest::qWait(200);
        QCOMPARE(socketOf(dialog)->state(), QAbstractSocket::ConnectingState);
        verifyState(dialog, "Test in progress...", "Connecting...", 0, Qt::WaitCursor);

        if (closeBox)
            dialog->close();
        else
            QTest::mouseClick(dialog->findChild<QPushButton *>("cmdClose"), Qt::LeftButton);
        QVERIFY(!dialog->isVisible()); // at once
        QCOMPARE(finished.count(), 1);
        QVERIFY(waitUntil([&] { return dialog.isNull(); }));
        QVERIFY(m_platform->messageBoxes.isEmpty());
    }

    void closeWhileWaiting_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("Close button") << false;
        QTest::newRow("close box") << true;
    }
    void closeWhileWaiting()
    {
        QFETCH(bool, closeBox);
        LoopbackServer server(LoopbackServer::Mode::Silent);
        QPointer<frmTest> dialog = startTest(server.port());
        QVERIFY(waitUntil([&] { return isWaiting(dialog); }));
        if (closeBox)
            dialog->close();
        else
            QTest::mouseClick(dialog->findChild<QPushButton *>("cmdClose"), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        QVERIFY(waitUntil([&] { return dialog.isNull() && server.open == 0; }));
        QTest::qWait(50);
        QVERIFY(m_platform->messageBoxes.isEmpty());
        QCOMPARE(server.received, ProbeBytes);
    }

    void closeInsideTheConnectHandler_data()
    {
        QTest::addColumn<bool>("afterProbe");
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("before the probe, Close button") << false << false;
        QTest::newRow("before the probe, close box") << false << true;
        QTest::newRow("after the probe, Close button") << true << false;
        QTest::newRow("after the probe, close box") << true << true;
    }
    void closeInsideTheConnectHandler()
    {
        QFETCH(bool, afterProbe);
        QFETCH(bool, closeBox);
        LoopbackServer server(LoopbackServer::Mode::Silent);
        QPointer<frmTest> dialog = startTest(server.port());
        QList<int> values;
        QPointer<QTcpSocket> socket = socketOf(dialog);
        bool hidden = false;
        bool keptWhileHandling = false;
        const auto pressClose = [&] {
            // Queued: it runs when the connect handler lets events run. The
            // deletions that the close posted are then run at once, as a
            // nested event loop would run them, while the handler and the
            // socket's signal are still on the stack: the socket must outlive
            // them, the dialog goes away when the handler returns.
            QWidget *target = closeBox ? static_cast<QWidget *>(dialog.data())
                                       : dialog->findChild<QPushButton *>("cmdClose");
            QMetaObject::invokeMethod(
                target,
                [&, target] {
                    if (closeBox)
                        target->close();
                    else
                        static_cast<QPushButton *>(target)->click();
                    hidden = dialog && !dialog->isVisible();
                    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                    keptWhileHandling = dialog && socket;
                },
                Qt::QueuedConnection);
        };
        connect(bar(dialog), &QProgressBar::valueChanged, this, [&](int value) {
            values << value;
            if (value == 1 && !afterProbe)
                pressClose();
        });
        if (afterProbe)
            connect(socketOf(dialog), &QTcpSocket::bytesWritten, this, pressClose);

        QVERIFY(waitUntil([&] { return dialog.isNull(); }));
        QVERIFY(hidden);
        QVERIFY(keptWhileHandling);
        QVERIFY(socket.isNull());
        QCOMPARE(values, QList<int>({1})); // the handler did nothing more
        QVERIFY(waitUntil([&] { return server.open == 0; }));
        QTest::qWait(50);
        QCOMPARE(server.received, afterProbe ? ProbeBytes : QByteArray());
        QVERIFY(m_platform->messageBoxes.isEmpty());
    }

    void throughTheMainWindow()
    {
        LoopbackServer server(LoopbackServer::Mode::Reply, 150);
        AppGlobals globals;
        frmMain main(*m_platform, globals);
        main.setServerRows({{QStringLiteral("loopback.example"), QStringLiteral("127.0.0.1"), server.port(), {}}});
        main.centreOnScreen();
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        auto *button = main.findChild<QPushButton *>("cmdTestServer");

        // First test: a reply after 150 ms.
        button->click();
        QPointer<frmTest> first = main.findChild<frmTest *>();
        QVERIFY(first);
        QVERIFY(first->isVisible());
        QCOMPARE(first->windowModality(), Qt::ApplicationModal);
        QCOMPARE(first->findChild<QLineEdit *>("txtHostname")->text(), QStringLiteral("loopback.example"));
        QCOMPARE(first->findChild<QLineEdit *>("txtIP")->text(), QStringLiteral("127.0.0.1"));
        QCOMPARE(first->findChild<QLineEdit *>("txtPort")->text(), server.port());
        const QPoint offset = first->frameGeometry().center() - main.frameGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 2, "centred over the main window");
        verifyState(first, "Test in progress...", "Connecting...", 0, Qt::WaitCursor);
        QVERIFY(waitUntil([&] { return m_platform->messageBoxes.size() == 1; }));
        const double firstResponse = reportedTimes(m_platform->messageBoxes[0].text).second;
        QVERIFY(firstResponse >= 0.15);

        QTest::mouseClick(first->findChild<QPushButton *>("cmdClose"), Qt::LeftButton);
        QVERIFY(waitUntil([&] { return first.isNull(); }));

        // Second test of the same row: a new dialog, its own readings.
        server.delayMs = 0;
        button->click();
        QPointer<frmTest> second = main.findChild<frmTest *>();
        QVERIFY(second);
        verifyState(second, "Test in progress...", "Connecting...", 0, Qt::WaitCursor);
        QVERIFY(waitUntil([&] { return m_platform->messageBoxes.size() == 2; }));
        QVERIFY(reportedTimes(m_platform->messageBoxes[1].text).second < 0.15);
        QCOMPARE(server.accepted, 2);
        QCOMPARE(server.received, ProbeBytes + ProbeBytes);
        second->close();
        QVERIFY(waitUntil([&] { return second.isNull(); }));
    }

    void noDescriptorLeftOpen()
    {
        LoopbackServer server;
        const auto runOne = [&](int expectedBoxes) {
            QPointer<frmTest> dialog = startTest(server.port());
            if (!waitUntil([&] { return m_platform->messageBoxes.size() == expectedBoxes; }))
                return false;
            dialog->findChild<QPushButton *>("cmdClose")->click();
            return waitUntil([&] { return dialog.isNull(); });
        };
        QVERIFY(runOne(1)); // first use opens what Qt keeps for good
        QVERIFY(waitUntil([&] { return server.open == 0; }));
        const int before = openDescriptors();

        QElapsedTimer clock;
        clock.start();
        for (int n = 2; n <= 201 && clock.elapsed() < 60000; ++n)
            QVERIFY2(runOne(n), qPrintable(QStringLiteral("test %1").arg(n)));
        QCOMPARE(m_platform->messageBoxes.size(), 201);
        QVERIFY(waitUntil([&] { return server.open == 0; }));
        QCOMPARE(openDescriptors(), before);
        const QWidgetList windows = QApplication::topLevelWidgets();
        QVERIFY(std::none_of(windows.begin(), windows.end(), [](QWidget *w) { return qobject_cast<frmTest *>(w); }));
    }

    void pressToReport()
    {
        // The probe adds no waiting of its own: from the press, the report
        // follows the dialog's show within a few milliseconds.
        LoopbackServer server;
        AppGlobals globals;
        frmMain main(*m_platform, globals);
        main.setServerRows({{QStringLiteral("loopback"), QStringLiteral("127.0.0.1"), server.port(), {}}});
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        auto *button = main.findChild<QPushButton *>("cmdTestServer");

        QElapsedTimer clock;
        qint64 reportedAt = 0;
        m_platform->onMessageBox = [&](const FakePlatform::MessageBox &) { reportedAt = clock.nsecsElapsed(); };
        QList<double> pressToShown, shownToReport;
        int zeroReports = 0;
        const int runs = 20;
        for (int run = 0; run < runs; ++run) {
            reportedAt = 0;
            clock.start();
            button->click(); // creates, launches and shows the dialog
            const qint64 shownAt = clock.nsecsElapsed();
            QVERIFY(waitUntil([&] { return reportedAt != 0; }));
            pressToShown << shownAt / 1e6;
            shownToReport << (reportedAt - shownAt) / 1e6;
            if (reportedTimes(m_platform->messageBoxes.last().text) == std::make_pair(0.0, 0.0))
                ++zeroReports;
            QPointer<frmTest> dialog = main.findChild<frmTest *>();
            dialog->close();
            QVERIFY(waitUntil([&] { return dialog.isNull(); }));
        }
        std::sort(pressToShown.begin(), pressToShown.end());
        std::sort(shownToReport.begin(), shownToReport.end());
        qInfo("press to shown: median %.2f ms; shown to report: median %.2f ms, max %.2f ms; %d of %d reports 0 and 0",
              pressToShown[runs / 2], shownToReport[runs / 2], shownToReport.last(), zeroReports, runs);
        QVERIFY(shownToReport[runs / 2] < 20);
        QVERIFY(zeroReports > runs / 2);
    }

    void formatNrIsTheDialogs()
    {
        QCOMPARE(frmTest::FormatNr(0.29), 0.28);
        QCOMPARE(frmTest::FormatNr(-0.001), -0.01);
    }
};

QTEST_MAIN(TestFrmTest)
#include "tst_frmtest.moc"
