#include "support/FakePlatform.h"
#include "ui/main/frmMain.h"
#include "ui/test/frmTest.h"

#include <QtNetwork>
#include <QtTest>
#include <QtWidgets>

#include <filesystem>
#include <functional>

namespace {

// "VER 2 MSNP10 MSNP9 CVR0" CR LF, as it must appear on the wire.
const QByteArray ProbeBytes = QByteArray::fromHex("564552203220" "4D534E50313020" "4D534E503920" "435652300D0A");
const QByteArray Reply = QByteArrayLiteral("VER 2 MSNP10 CVR0\r\n");

// Runs the event loop until done() holds or the time is up. Unlike QTRY_* it
// does not sleep between looks, so it adds no delay to what is timed; posted
// deletions run between the turns, as QTest::qWait runs them.
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

// A Messenger server stand-in on 127.0.0.1. Manual: connections wait for
// nextPeer(). Backlogged: the accept queue is full, so a connection to it
// stays pending until the client gives up.
class LoopbackServer : public QObject
{
public:
    enum class Mode { Reply, Silent, CloseOnAccept, CloseOnProbe, Manual, Backlogged };

    explicit LoopbackServer(Mode mode = Mode::Reply, int delayMs = 0)
        : mode(mode)
        , delayMs(delayMs)
    {
        connect(&m_server, &QTcpServer::newConnection, this, &LoopbackServer::accept);
        m_server.setListenBacklogSize(mode == Mode::Backlogged ? 0 : 50);
        ready = m_server.listen(QHostAddress::LocalHost, 0);
        if (mode == Mode::Backlogged) {
            m_server.pauseAccepting();
            m_filler.connectToHost(QHostAddress::LocalHost, m_server.serverPort());
            ready = ready && m_filler.waitForConnected(2000);
        }
    }
    QString port() const { return QString::number(m_server.serverPort()); }
    QTcpSocket *nextPeer()
    {
        if (!m_server.hasPendingConnections())
            m_server.waitForNewConnection(2000);
        return m_server.nextPendingConnection();
    }

    Mode mode;
    int delayMs;
    bool ready = false;
    QByteArray received; // all bytes of all connections
    int accepted = 0;
    int open = 0; // connections the client has not closed yet

private:
    void accept()
    {
        while (mode != Mode::Manual && m_server.hasPendingConnections()) {
            QTcpSocket *peer = m_server.nextPendingConnection();
            ++accepted;
            ++open;
            peer->setParent(this);
            connect(peer, &QTcpSocket::disconnected, peer, &QObject::deleteLater);
            connect(peer, &QObject::destroyed, this, [this] { --open; });
            connect(peer, &QTcpSocket::readyRead, this, [this, peer, count = qsizetype(0)]() mutable {
                const QByteArray bytes = peer->readAll();
                received += bytes;
                count += bytes.size();
                if (count < ProbeBytes.size() || count - bytes.size() >= ProbeBytes.size())
                    return; // answer once, when the probe is complete
                if (this->mode == Mode::CloseOnProbe)
                    peer->disconnectFromHost();
                else if (this->mode == Mode::Reply && delayMs == 0)
                    peer->write(Reply);
                else if (this->mode == Mode::Reply)
                    QTimer::singleShot(delayMs, Qt::PreciseTimer, peer, [peer] { peer->write(Reply); });
            });
            if (mode == Mode::CloseOnAccept)
                peer->disconnectFromHost();
        }
    }

    QTcpServer m_server;
    QTcpSocket m_filler;
};
using Mode = LoopbackServer::Mode;

// A loopback port that nothing listens on.
QString closedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return QString::number(server.serverPort());
}

QString label(QWidget *dialog, const char *name) { return dialog->findChild<QLabel *>(name)->text(); }
QProgressBar *bar(QWidget *dialog) { return dialog->findChild<QProgressBar *>("prg"); }
QTcpSocket *socketOf(QWidget *dialog) { return dialog->findChild<QTcpSocket *>("sck"); }
bool isWaiting(QWidget *dialog) { return label(dialog, "lblStatus") == QLatin1String("Waiting for response..."); }

// The response time of a report, in seconds.
double responseTime(const QString &report)
{
    static const QRegularExpression time(QStringLiteral("\r\nResponse time: (\\S+) seconds\\.\r\n"));
    const QRegularExpressionMatch match = time.match(report);
    return match.hasMatch() ? QLocale::c().toDouble(match.captured(1)) : -1;
}

// Labels fit their text and keep one edge: the left one, or for lblStatus the
// right one, 7 pixels before Close. A cut caption is whole in the tool tip.
void verifyLabels(QWidget *dialog)
{
    const struct { const char *name; int edge; int top; } labels[] = {
        {"lblIP", 8, 8}, {"lblHostName", 8, 24}, {"lblPort", 8, 40}, {"lblTesting", 8, 80}, {"lblStatus", -249, 80},
    };
    for (const auto &expected : labels) {
        const auto *label = dialog->findChild<QLabel *>(expected.name);
        const QRect rect = label->geometry();
        QCOMPARE(expected.edge > 0 ? rect.left() : -(rect.left() + rect.width()), expected.edge);
        QCOMPARE(rect.top(), expected.top);
        QCOMPARE(rect.height(), 13);
        const bool cut = label->fontMetrics().elidedText(label->text(), Qt::ElideRight, rect.width()) != label->text();
        QCOMPARE(label->toolTip(), cut ? label->text() : QString());
        QVERIFY(cut || rect.width() <= label->fontMetrics().horizontalAdvance(label->text()) + 1);
    }
    const QRect testing = dialog->findChild<QLabel *>("lblTesting")->geometry();
    QVERIFY(testing.right() + 7 < dialog->findChild<QLabel *>("lblStatus")->geometry().left());
}

// The state table: labels, bar and pointer; the labels' places.
void verifyState(QWidget *dialog, const QString &testing, const QString &status, int value, Qt::CursorShape pointer)
{
    QCOMPARE(label(dialog, "lblTesting"), testing);
    QCOMPARE(label(dialog, "lblStatus"), status);
    QCOMPARE(bar(dialog)->value(), value);
    QCOMPARE(dialog->cursor().shape(), pointer);
    verifyLabels(dialog);
}

} // namespace

Q_DECLARE_METATYPE(LoopbackServer::Mode)

class TestFrmTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakePlatform> m_platform;
    QList<QPointer<QWidget>> m_windows;

    // A dialog as the main window makes one: filled, its test started, shown.
    frmTest *startTest(FakePlatform &platform, const QString &port, const QString &ip = "127.0.0.1", int points = 0)
    {
        auto *dialog = new frmTest(platform);
        m_windows.append(dialog);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        if (points) {
            QFont font = dialog->font();
            font.setPointSize(points);
            dialog->setFont(font);
            verifyLabels(dialog);
        }
        dialog->setServer(QStringLiteral("loopback"), ip, port);
        dialog->LaunchTest();
        dialog->show();
        return dialog;
    }
    frmTest *startTest(const QString &port) { return startTest(*m_platform, port); }
    bool reported(int count = 1)
    {
        return waitUntil([&] { return m_platform->messageBoxes.size() == count; });
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

    // Caption, client size, the first state, names and tab order.
    void dialog()
    {
        frmTest dialog(*m_platform);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Server Test"));
        QCOMPARE(dialog.size(), QSize(346, 113));
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        QCOMPARE(dialog.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
        QCOMPARE(dialog.windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint
                                         | Qt::WindowMaximizeButtonHint), Qt::WindowCloseButtonHint);
        QCOMPARE(dialog.font().family(), QStringLiteral("Tahoma"));
        QCOMPARE(dialog.font().pointSizeF(), 8.25);
        verifyState(&dialog, "Ready", "Ready", 0, Qt::WaitCursor); // the hourglass from creation
        QCOMPARE(bar(&dialog)->maximum(), 3);
        for (const char *name : {"txtIP", "txtHostname", "txtPort", "prg"})
            QVERIFY2(!dialog.findChild<QWidget *>(name)->accessibleName().isEmpty(), name);
        QStringList order;
        QWidget *widget = dialog.findChild<QWidget *>("txtIP");
        do {
            if (widget->focusPolicy() & Qt::TabFocus)
                order << widget->objectName();
            widget = widget->nextInFocusChain();
        } while (widget->objectName() != QLatin1String("txtIP"));
        QCOMPARE(order, QStringList({"txtIP", "txtHostname", "txtPort", "cmdClose"}));
        // Each box's text starts right of its caption, whatever font stands in.
        for (const auto &[label, box] : {std::pair{"lblIP", "txtIP"}, {"lblHostName", "txtHostname"}, {"lblPort", "txtPort"}}) {
            auto *edit = dialog.findChild<QLineEdit *>(box);
            QVERIFY2(dialog.findChild<QLabel *>(label)->geometry().right() < edit->x() + edit->textMargins().left(), label);
        }
    }

    // A large font cuts captions: whole in the tool tip, which goes again
    // when the caption fits; a long error stops 7 pixels before lblStatus.
    void largeFont_data()
    {
        QTest::addColumn<int>("points");
        QTest::addColumn<bool>("refused");
        QTest::newRow("reply") << 13 << false;
        QTest::newRow("long error") << 16 << true;
    }
    void largeFont()
    {
        QFETCH(int, points);
        QFETCH(bool, refused);
        LoopbackServer server(Mode::Reply, 150);
        frmTest *dialog = startTest(*m_platform, refused ? closedPort() : server.port(), "127.0.0.1", points);
        verifyLabels(dialog);
        const auto *testing = dialog->findChild<QLabel *>("lblTesting");
        QCOMPARE(testing->toolTip(), QStringLiteral("Test in progress..."));
        if (!refused) {
            QVERIFY(waitUntil([&] { return isWaiting(dialog); }));
            verifyLabels(dialog);
            QVERIFY(reported());
            verifyLabels(dialog); // lblStatus shrinks back, tool tips go
            return;
        }
        QVERIFY(waitUntil([&] { return testing->text().startsWith(QLatin1String("Error (")); }));
        QCOMPARE(testing->text(), QStringLiteral("Error (Connection refused)"));
        verifyLabels(dialog);
        QCOMPARE(testing->toolTip(), testing->text());
        QCOMPARE(testing->geometry().right() + 1 + 7, dialog->findChild<QLabel *>("lblStatus")->geometry().left());
    }

    // The probe goes out once, 25 bytes; the report follows the reply: never
    // below its delay, above it by less than 0.05 s (at once: both times 0),
    // with three tries for a machine busy with other work.
    void probeAndReport_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<int>("delayMs");
        QTest::newRow("at once") << "" << 0;
        QTest::newRow("port then letters") << "abc" << 0;
        QTest::newRow("port with a blank inside") << " " << 0;
        QTest::newRow("after 150 ms") << "" << 150;
        QTest::newRow("after 350 ms") << "" << 350;
    }
    void probeAndReport()
    {
        QFETCH(QString, suffix);
        QFETCH(int, delayMs);
        const double delay = delayMs / 1000.0;
        QString report;
        for (int attempt = 0; attempt < 3; ++attempt) {
            LoopbackServer server(Mode::Reply, delayMs);
            FakePlatform platform;
            QString port = server.port();
            suffix == QLatin1String(" ") ? port.insert(1, suffix) : port.append(suffix);
            frmTest *dialog = startTest(platform, port);
            verifyState(dialog, "Test in progress...", "Connecting...", 0, Qt::WaitCursor);
            QVERIFY(waitUntil([&] { return !platform.messageBoxes.isEmpty(); }));
            verifyState(dialog, "Finished!", "Finished!", 3, Qt::ArrowCursor);
            QCOMPARE(socketOf(dialog)->state(), QAbstractSocket::UnconnectedState);
            QCOMPARE(platform.messageBoxes.first().style, 64);
            report = platform.messageBoxes.first().text;
            QVERIFY(report.startsWith(QStringLiteral("Server test finished!\r\n====================\r\nConnection time: ")));
            QVERIFY(dialog->isVisible()); // stays open after the report
            QTest::qWait(200);
            QCOMPARE(server.received, ProbeBytes); // nothing more
            QCOMPARE(server.accepted, 1);
            QCOMPARE(platform.messageBoxes.size(), 1);
            QCOMPARE(server.open, 0); // the dialog closed the connection
            dialog->close();
            QVERIFY2(responseTime(report) >= delay, qPrintable(report));
            if (delayMs > 0 ? responseTime(report) < delay + 0.05
                            : report == "Server test finished!\r\n====================\r\nConnection time: 0 seconds"
                                        "\r\nResponse time: 0 seconds.\r\nRating: Very good")
                return;
        }
        QFAIL(qPrintable(report));
    }

    // The error shows in lblTesting; lblStatus and the bar stay, no report.
    void failure_data()
    {
        QTest::addColumn<QString>("ip");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("error");
        const QString local = QStringLiteral("127.0.0.1");
        const QString badPort = QStringLiteral("Error (Invalid port number)");
        QTest::newRow("refused") << local << "closed" << "Error (Connection refused)";
        QTest::newRow("empty IP address") << "" << "1863" << "Error (No IP address)";
        QTest::newRow("blank IP address") << "  " << "1863" << "Error (No IP address)";
        QTest::newRow("port 0") << local << "0" << badPort;
        QTest::newRow("no number") << local << "abc" << badPort;
        QTest::newRow("empty port") << local << "" << badPort;
        QTest::newRow("port 65536") << local << "65536" << badPort;
        QTest::newRow("negative port") << local << "-1863" << badPort;
        QTest::newRow("fractional port") << local << "1863.5" << badPort;
        QTest::newRow("port 70000 would wrap to 4464") << local << "70000" << badPort;
    }
    void failure()
    {
        QFETCH(QString, ip);
        QFETCH(QString, port);
        QFETCH(QString, error);
        frmTest *dialog = startTest(*m_platform, port == QLatin1String("closed") ? closedPort() : port, ip);
        QVERIFY(waitUntil([&] { return label(dialog, "lblTesting").startsWith(QLatin1String("Error (")); }));
        verifyState(dialog, error, "Connecting...", 0, Qt::ArrowCursor);
        QCOMPARE(socketOf(dialog)->state(), QAbstractSocket::UnconnectedState);
        QTest::qWait(50);
        verifyState(dialog, error, "Connecting...", 0, Qt::ArrowCursor);
        QVERIFY(m_platform->messageBoxes.isEmpty());
        QVERIFY(dialog->isVisible());
    }

    // Without a reply the test runs, with the hourglass, until Close or the
    // close box: Enter and Esc do not close it. An error after the send shows
    // in lblTesting; lblStatus and the bar stay.
    void closeWhileTesting_data()
    {
        QTest::addColumn<Mode>("mode");
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("closeBox");
        QTest::addColumn<bool>("error");
        const int esc = Qt::Key_Escape, ret = Qt::Key_Return;
        QTest::newRow("connecting, Close button") << Mode::Backlogged << "frmTest" << esc << false << false;
        QTest::newRow("connecting, close box") << Mode::Backlogged << "cmdClose" << ret << true << false;
        QTest::newRow("silent, Close button") << Mode::Silent << "cmdClose" << esc << false << false;
        QTest::newRow("silent, close box") << Mode::Silent << "cmdClose" << int(Qt::Key_Enter) << true << false;
        QTest::newRow("silent, error after the send") << Mode::Silent << "txtHostname" << ret << false << true;
        QTest::newRow("closed on accept") << Mode::CloseOnAccept << "txtIP" << esc << false << false;
        QTest::newRow("closed on the probe") << Mode::CloseOnProbe << "txtPort" << ret << true << false;
    }
    void closeWhileTesting()
    {
        QFETCH(Mode, mode);
        QFETCH(QString, target);
        QFETCH(int, key);
        QFETCH(bool, closeBox);
        QFETCH(bool, error);
        LoopbackServer server(mode);
        QVERIFY(server.ready);
        QPointer<frmTest> dialog = startTest(server.port());
        QSignalSpy finished(dialog.data(), &QDialog::finished);
        const bool connecting = mode == Mode::Backlogged;
        const bool remoteClose = mode == Mode::CloseOnAccept || mode == Mode::CloseOnProbe;
        QVERIFY(waitUntil([&] { return connecting || (isWaiting(dialog) && (!remoteClose || server.open == 0)); }));
        QWidget *widget = target == dialog->objectName() ? dialog.data() : dialog->findChild<QWidget *>(target);
        widget->setFocus();
        QTest::keyClick(widget, Qt::Key(key));
        QTest::qWait(300);
        QCOMPARE(finished.count(), 0);
        if (error) // on Linux it ends like a remote close: driven as the socket would report it
            Q_EMIT socketOf(dialog)->errorOccurred(QAbstractSocket::NetworkError);
        verifyState(dialog, error ? "Error (" + socketOf(dialog)->errorString() + ")" : "Test in progress...",
                    connecting ? "Connecting..." : "Waiting for response...", connecting ? 0 : 2,
                    error ? Qt::ArrowCursor : Qt::WaitCursor);
        QCOMPARE(socketOf(dialog)->state(), connecting           ? QAbstractSocket::ConnectingState
                                            : remoteClose || error ? QAbstractSocket::UnconnectedState // released
                                                                   : QAbstractSocket::ConnectedState);
        QVERIFY(waitUntil([&] { return connecting || !(remoteClose || error) || server.open == 0; }));
        QVERIFY(m_platform->messageBoxes.isEmpty());

        if (closeBox)
            dialog->close();
        else
            QTest::mouseClick(dialog->findChild<QPushButton *>("cmdClose"), Qt::LeftButton);
        QVERIFY(!dialog->isVisible()); // at once
        QCOMPARE(finished.count(), 1);
        QVERIFY(waitUntil([&] { return dialog.isNull() && server.open == 0; }));
        QTest::qWait(50);
        QVERIFY(m_platform->messageBoxes.isEmpty());
        if (mode != Mode::CloseOnAccept)
            QCOMPARE(server.received, connecting ? QByteArray() : ProbeBytes);
    }

    // Events run inside the connect handler. A Close there ends all: nothing
    // more is sent, no report, no crash. A greeting before the probe (nothing
    // is sent, the response counts from the connection) or the reply ends the
    // test, and the waiting state must not come back over it.
    void insideTheConnectHandler_data()
    {
        QTest::addColumn<QString>("event");
        QTest::addColumn<bool>("afterProbe");
        QTest::newRow("Close button before the probe") << "Close button" << false;
        QTest::newRow("close box before the probe") << "close box" << false;
        QTest::newRow("Close button after the probe") << "Close button" << true;
        QTest::newRow("close box after the probe") << "close box" << true;
        QTest::newRow("greeting before the probe") << "greeting" << false;
        QTest::newRow("reply to the probe") << "reply" << true;
    }
    void insideTheConnectHandler()
    {
        QFETCH(QString, event);
        QFETCH(bool, afterProbe);
        const bool data = event == QLatin1String("greeting") || event == QLatin1String("reply");
        LoopbackServer server(Mode::Manual);
        QPointer<frmTest> dialog = startTest(server.port());
        QPointer<QTcpSocket> socket = socketOf(dialog);
        QTcpSocket *peer = nullptr;
        QList<int> values;
        bool acted = false, hidden = false, keptWhileHandling = false;
        const auto act = [&] {
            if (std::exchange(acted, true))
                return;
            if (data) { // on its way before the dialog's next event run
                peer = server.nextPeer();
                while (afterProbe && peer->bytesAvailable() < ProbeBytes.size() && peer->waitForReadyRead(2000)) {
                }
                peer->write(afterProbe ? Reply : QByteArray("HELLO\r\n"));
                peer->waitForBytesWritten(2000);
                QThread::msleep(20);
                return;
            }
            // Queued, it runs when the handler lets events run; the deletions
            // the close posts then run at once, as a nested event loop would
            // run them: the socket must outlive the handler on the stack.
            QMetaObject::invokeMethod(
                dialog.data(),
                [&] {
                    if (event == QLatin1String("close box"))
                        dialog->close();
                    else
                        dialog->findChild<QPushButton *>("cmdClose")->click();
                    hidden = dialog && !dialog->isVisible();
                    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                    keptWhileHandling = dialog && socket;
                },
                Qt::QueuedConnection);
        };
        connect(bar(dialog), &QProgressBar::valueChanged, this, [&](int value) {
            values << value;
            if (value == 1 && !afterProbe)
                act();
        });
        if (afterProbe)
            connect(socketOf(dialog), &QTcpSocket::bytesWritten, this, act);
        else if (data)
            act(); // the greeting comes before the dialog handles the connection

        if (data) {
            QVERIFY(reported());
            QCOMPARE(values, QList<int>({1, 3}));
            QTest::qWait(50);
            verifyState(dialog, "Finished!", "Finished!", 3, Qt::ArrowCursor);
            QCOMPARE(m_platform->messageBoxes.size(), 1);
            if (!afterProbe)
                QCOMPARE(responseTime(m_platform->messageBoxes.first().text), 0.0);
        } else {
            QVERIFY(waitUntil([&] { return dialog.isNull(); }));
            QVERIFY(hidden);
            QVERIFY(keptWhileHandling);
            QVERIFY(socket.isNull());
            QCOMPARE(values, QList<int>({1})); // the handler did nothing more
        }
        peer = peer ? peer : server.nextPeer();
        QVERIFY(peer);
        QVERIFY(waitUntil([&] { return peer->state() == QAbstractSocket::UnconnectedState; }));
        QTest::qWait(50);
        QCOMPARE(m_platform->messageBoxes.size(), data ? 1 : 0);
        QCOMPARE(peer->readAll(), afterProbe ? ProbeBytes : QByteArray()); // the probe once, or nothing
    }

    // The Test Server button, 201 times on one row: each test is its own and
    // none leaves a descriptor or a window behind.
    void throughTheMainWindow()
    {
        LoopbackServer server(Mode::Reply, 150);
        AppGlobals globals;
        frmMain main(*m_platform, globals);
        const QString host = QStringLiteral("<b>loopback</b>.") + QString(300, QLatin1Char('x'));
        main.setServerRows({{host, QStringLiteral("127.0.0.1"), server.port(), {}}});
        main.centreOnScreen();
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QPointer<frmTest> dialog;
        const auto press = [&] {
            main.findChild<QPushButton *>("cmdTestServer")->click();
            dialog = main.findChild<frmTest *>();
            return dialog && dialog->isVisible();
        };
        const auto descriptors = [] {
            const std::filesystem::directory_iterator fds("/proc/self/fd");
            return std::distance(begin(fds), end(fds));
        };

        QVERIFY(press());
        QCOMPARE(dialog->windowModality(), Qt::ApplicationModal);
        QCOMPARE(dialog->findChild<QLineEdit *>("txtHostname")->text(), host); // plain text, whole,
        QCOMPARE(dialog->findChild<QLineEdit *>("txtHostname")->cursorPosition(), 0); // from its start
        QCOMPARE(dialog->findChild<QLineEdit *>("txtIP")->text(), QStringLiteral("127.0.0.1"));
        QCOMPARE(dialog->findChild<QLineEdit *>("txtPort")->text(), server.port());
        const QPoint offset = dialog->frameGeometry().center() - main.frameGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 2, "centred over the main window");
        verifyState(dialog, "Test in progress...", "Connecting...", 0, Qt::WaitCursor);
        QVERIFY(reported(1));
        QVERIFY(responseTime(m_platform->messageBoxes[0].text) >= 0.15);
        QTest::mouseClick(dialog->findChild<QPushButton *>("cmdClose"), Qt::LeftButton);
        QVERIFY(waitUntil([&] { return dialog.isNull() && server.open == 0; }));
        const auto before = descriptors(); // the first test opened what Qt keeps for good

        server.delayMs = 0;
        QElapsedTimer clock;
        clock.start();
        for (int n = 2; n <= 201 && clock.elapsed() < 60000; ++n) {
            QVERIFY2(press(), qPrintable(QStringLiteral("test %1").arg(n)));
            verifyState(dialog, "Test in progress...", "Connecting...", 0, Qt::WaitCursor);
            QVERIFY2(reported(n), qPrintable(QStringLiteral("test %1").arg(n)));
            n % 2 ? void(dialog->close()) : dialog->findChild<QPushButton *>("cmdClose")->click();
            QVERIFY(waitUntil([&] { return dialog.isNull(); }));
        }
        QVERIFY(responseTime(m_platform->messageBoxes[1].text) < 0.15);
        QCOMPARE(m_platform->messageBoxes.size(), 201);
        QCOMPARE(server.accepted, 201);
        QCOMPARE(server.received, ProbeBytes.repeated(201));
        QVERIFY(waitUntil([&] { return server.open == 0; }));
        QCOMPARE(descriptors(), before);
        for (QWidget *window : QApplication::topLevelWidgets())
            QVERIFY(!qobject_cast<frmTest *>(window));
    }
};

QTEST_MAIN(TestFrmTest)
#include "tst_frmtest.moc"
