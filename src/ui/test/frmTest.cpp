#include "frmTest.h"

#include "AutoSizeLabel.h"
#include "TestRating.h"
#include "app/Platform.h"
#include "servers/Numbers.h"
#include "ui/WidgetLayout.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QNetworkProxy>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTcpSocket>

#include <cmath>
#include <utility>
#include <limits>

namespace {

// The Messenger version command: transaction 2, protocols MSNP10 and MSNP9,
// and CVR0, ended by CR LF. 25 bytes, sent once per test.
constexpr char ProbeLine[] = "VER 2 MSNP10 MSNP9 CVR0\r\n";
constexpr qint64 ProbeLength = sizeof(ProbeLine) - 1;

// The reply is read and dropped as it comes; the socket never holds more than
// this much unread, so a server that floods data cannot grow memory.
constexpr qint64 ReadBufferSize = 4096;

// lblStatus ends 7 pixels left of the Close button; lblTesting keeps the same
// distance from lblStatus.
constexpr int LabelGap = 7;

AutoSizeLabel *caption(QWidget *parent, const char *name, const QString &text, int x, int y, int width, int height,
                       AutoSizeLabel::Anchor anchor = AutoSizeLabel::Anchor::Left)
{
    auto *label = new AutoSizeLabel(anchor, parent);
    label->setObjectName(QLatin1String(name));
    label->place(x, y, width, height);
    label->setCaption(text);
    return label;
}

// A text box without a border, on the button-face colour.
QLineEdit *textBox(QWidget *parent, const char *name, const QString &text, const QString &accessibleName, int x,
                   int y, int width, int height)
{
    auto *box = placed<QLineEdit>(parent, name, x, y, width, height);
    box->setFrame(false);
    box->setMaxLength(std::numeric_limits<int>::max());
    QPalette palette = box->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, palette.color(group, QPalette::Button));
        palette.setColor(group, QPalette::Text, palette.color(group, QPalette::ButtonText));
    }
    box->setPalette(palette);
    box->setAccessibleName(accessibleName);
    box->setText(text);
    return box;
}

void setBoxText(QLineEdit *box, const QString &text)
{
    box->setText(text);
    box->setCursorPosition(0); // show the start of a long text, not its end
}

} // namespace

// Counts the socket handlers on the stack. They let window events run, and a
// Close handled there would delete the dialog and its socket while the
// socket's own code still runs below the handler: the deletion waits until
// the last handler returns.
class frmTest::HandlerScope
{
public:
    explicit HandlerScope(frmTest *dialog)
        : m_dialog(dialog)
    {
        ++dialog->m_handlerDepth;
    }
    ~HandlerScope()
    {
        if (!m_dialog)
            return;
        if (--m_dialog->m_handlerDepth == 0 && m_dialog->m_deletePending) {
            m_dialog->m_deletePending = false;
            QCoreApplication::postEvent(m_dialog, new QDeferredDeleteEvent());
        }
    }
    HandlerScope(const HandlerScope &) = delete;
    HandlerScope &operator=(const HandlerScope &) = delete;

private:
    QPointer<frmTest> m_dialog;
};

frmTest::frmTest(Platform &platform, QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_platform(platform)
{
    setObjectName(QStringLiteral("frmTest"));
    setWindowTitle(QStringLiteral("Server Test"));
    setFont(tahomaFont(8.25));
    setFixedSize(346, 113);
    setSizeGripEnabled(false);
    // The hourglass until a test ends.
    setCursor(Qt::WaitCursor);

    // Design texts; the owner replaces those of the boxes and LaunchTest
    // those of the labels before the dialog first shows.
    lblIP = caption(this, "lblIP", QStringLiteral("IP:"), 8, 8, 14, 13);
    lblHostName = caption(this, "lblHostName", QStringLiteral("Hostname:"), 8, 24, 52, 13);
    txtIP = textBox(this, "txtIP", QStringLiteral("127.0.0.1"), QStringLiteral("IP address"), 24, 8, 313, 13);
    txtHostname = textBox(this, "txtHostname", QStringLiteral("localhost"), QStringLiteral("Host name"), 64, 24, 273, 13);
    lblPort = caption(this, "lblPort", QStringLiteral("Port:"), 8, 40, 24, 13);
    txtPort = textBox(this, "txtPort", QStringLiteral("80"), QStringLiteral("Port"), 40, 40, 297, 13);
    // Where a wider font stands in for Tahoma a caption can reach into the
    // box beside it: the caption then stays on top and the box's text starts
    // after it.
    for (const auto &[label, box] : {std::pair{lblIP, txtIP}, {lblHostName, txtHostname}, {lblPort, txtPort}}) {
        const int overlap = label->geometry().right() + 3 - box->x();
        if (overlap > 0) {
            label->raise();
            box->setTextMargins(overlap, 0, 0, 0);
        }
    }

    prg = placed<QProgressBar>(this, "prg", 8, 56, 329, 17);
    prg->setRange(0, 3);
    prg->setValue(0);
    prg->setTextVisible(false);
    prg->setAccessibleName(QStringLiteral("Test progress"));

    // Enter and Esc do not press Close.
    cmdClose = placed<QPushButton>(this, "cmdClose", 256, 80, 81, 25);
    cmdClose->setText(QStringLiteral("Close"));
    cmdClose->setAutoDefault(false);
    cmdClose->setDefault(false);

    lblTesting = caption(this, "lblTesting", QStringLiteral("Ready"), 8, 80, 31, 13);
    lblStatus = caption(this, "lblStatus", QStringLiteral("Ready"), 218, 80, 31, 13, AutoSizeLabel::Anchor::Right);
    fitBottomRow();

    setTabOrder(txtIP, txtHostname);
    setTabOrder(txtHostname, txtPort);
    setTabOrder(txtPort, cmdClose);

    sck = new QTcpSocket(this);
    sck->setObjectName(QStringLiteral("sck"));
    sck->setProxy(QNetworkProxy::NoProxy); // the server itself is timed
    sck->setReadBufferSize(ReadBufferSize);

    // The socket may report a connection made, or refused, at once from
    // inside the connect request; its handlers then run from the event loop,
    // as for any other connection, never inside LaunchTest.
    connect(sck, &QTcpSocket::connected, this, [this] {
        if (m_requesting)
            QMetaObject::invokeMethod(this, [this] { sck_Connect(); }, Qt::QueuedConnection);
        else
            sck_Connect();
    });
    connect(sck, &QTcpSocket::readyRead, this, &frmTest::sck_DataArrival);
    connect(sck, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        const QString description = sck->errorString();
        if (m_requesting)
            QMetaObject::invokeMethod(this, [this, error, description] { sck_Error(error, description); },
                                      Qt::QueuedConnection);
        else
            sck_Error(error, description);
    });
    connect(cmdClose, &QPushButton::clicked, this, &frmTest::cmdClose_Click);
}

frmTest::~frmTest()
{
    // The socket goes with the dialog; its last signals find no handler.
    QObject::disconnect(sck, nullptr, this, nullptr);
    sck->abort();
}

void frmTest::setServer(const QString &host, const QString &ip, const QString &port)
{
    setBoxText(txtHostname, host);
    setBoxText(txtIP, ip);
    setBoxText(txtPort, port);
}

double frmTest::FormatNr(double dblNumber)
{
    return ::FormatNr(dblNumber);
}

double frmTest::reading() const
{
    return m_platform.clockSeconds();
}

void frmTest::LaunchTest()
{
    if (m_phase != Phase::Ready)
        return;
    m_phase = Phase::Testing;

    dblStart = reading();

    // A request that cannot go out at all ends the test the way a socket
    // error does.
    const QString host = txtIP->text();
    const double port = LeadingNumber(txtPort->text());
    QString failure;
    if (host.trimmed().isEmpty()) {
        failure = QStringLiteral("No IP address");
    } else if (!(port >= 1 && port <= 65535 && port == std::floor(port))) {
        failure = QStringLiteral("Invalid port number");
    } else {
        m_requesting = true;
        sck->connectToHost(host, quint16(port));
        m_requesting = false;
    }

    lblTesting->setCaption(QStringLiteral("Test in progress..."));
    lblStatus->setCaption(QStringLiteral("Connecting..."));
    fitBottomRow();

    if (!failure.isEmpty())
        failTest(failure);
}

void frmTest::sck_Connect()
{
    if (m_phase != Phase::Testing || m_connectHandled)
        return;
    const HandlerScope scope(this);
    const QPointer<frmTest> self(this);
    m_connectHandled = true;

    dblConnected = reading();
    prg->setValue(1);

    // Pending window events run here: Close, the close box or a greeting
    // from the server may end the test before the probe goes out.
    QCoreApplication::processEvents();
    if (!self || m_phase != Phase::Testing)
        return;

    dblSent = reading();
    if (!sendProbe())
        return;

    // And again: a quick reply may be handled here and must not be
    // overwritten by the waiting state.
    QCoreApplication::processEvents();
    if (!self || m_phase != Phase::Testing)
        return;

    lblStatus->setCaption(QStringLiteral("Waiting for response..."));
    fitBottomRow();
    prg->setValue(2);
}

bool frmTest::sendProbe()
{
    // A server that closed the connection meanwhile gets nothing; the dialog
    // waits as for a silent server.
    if (sck->state() != QAbstractSocket::ConnectedState)
        return true;
    if (sck->write(ProbeLine, ProbeLength) != ProbeLength) {
        failTest(sck->errorString());
        return false;
    }
    m_probeSent = true;
    sck->flush(); // out now, not on the next turn of the event loop
    return true;
}

void frmTest::sck_DataArrival()
{
    if (m_phase != Phase::Testing)
        return;
    const HandlerScope scope(this);

    dblReceived = reading();
    // Data proves the connection even if its event is still queued.
    if (!m_connectHandled) {
        m_connectHandled = true;
        dblConnected = dblReceived;
    }
    sck->readAll(); // any reply ends the wait; its content does not matter
    sck->abort();
    m_phase = Phase::Finished;

    lblTesting->setCaption(QStringLiteral("Finished!"));
    lblStatus->setCaption(QStringLiteral("Finished!"));
    fitBottomRow();
    prg->setValue(3);
    unsetCursor();

    // A server that spoke before the probe went out answered nothing: its
    // response time counts from the connection.
    const double sent = m_probeSent ? dblSent : dblConnected;
    const TestRating rating = rateTest(dblConnected - dblStart, dblReceived - sent);
    m_platform.ShowMessageBox(testReportText(rating), MB_ICONINFORMATION);
}

void frmTest::sck_Error(QAbstractSocket::SocketError Number, const QString &Description)
{
    if (m_phase != Phase::Testing)
        return;
    const HandlerScope scope(this);
    if (Number == QAbstractSocket::RemoteHostClosedError) {
        // The server closed without answering: the dialog keeps waiting, as
        // for a silent server, until the user closes it.
        sck->abort();
        return;
    }
    failTest(Description);
}

void frmTest::failTest(const QString &description)
{
    sck->abort();
    m_phase = Phase::Failed;
    lblTesting->setCaption(QStringLiteral("Error (") + description + QLatin1Char(')'));
    fitBottomRow();
    unsetCursor();
}

void frmTest::cmdClose_Click()
{
    unload();
    close();
}

void frmTest::unload()
{
    sck->abort();
    m_phase = Phase::Closed;
}

void frmTest::closeEvent(QCloseEvent *event)
{
    unload();
    QDialog::closeEvent(event);
}

void frmTest::done(int result)
{
    unload();
    QDialog::done(result);
}

bool frmTest::event(QEvent *event)
{
    if (event->type() == QEvent::DeferredDelete && m_handlerDepth > 0) {
        m_deletePending = true; // HandlerScope deletes the dialog when the handler returns
        return true;
    }
    return QDialog::event(event);
}

void frmTest::keyPressEvent(QKeyEvent *event)
{
    // Esc does not close the dialog; only Close and the close box do.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmTest::fitBottomRow()
{
    lblTesting->setRoom(lblStatus->geometry().left() - LabelGap - lblTesting->geometry().left());
}
