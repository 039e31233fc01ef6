#pragma once

#include <QAbstractSocket>
#include <QDialog>

class AutoSizeLabel;
class Platform;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTcpSocket;

// The server test dialog. It connects to the IP address and port of its
// three boxes, sends the Messenger version handshake once, waits for the
// first data, and reports connection time, response time and a rating.
//
// The owner fills the boxes (setServer) and calls LaunchTest before showing
// the dialog, so the connection time includes the show. Each dialog runs one
// test; nothing carries over to the next.
//
// Screen: all labels size themselves to their text. The bottom row holds
// lblTesting at the left and lblStatus beside the Close button: lblTesting
// keeps its left edge (x = 8), lblStatus keeps its right edge (x = 249,
// 7 pixels left of Close) and grows to the left. A long error description in
// lblTesting is cut short on screen 7 pixels before lblStatus and shown whole
// in its tool tip.
class frmTest : public QDialog
{
    Q_OBJECT

public:
    explicit frmTest(Platform &platform, QWidget *parent = nullptr);
    ~frmTest() override;

    // Copies a server row into txtHostname, txtIP and txtPort, in this order.
    void setServer(const QString &host, const QString &ip, const QString &port);

    // Starts the test with what the boxes hold: takes the start reading and
    // requests the connection. Once per dialog; later calls do nothing.
    void LaunchTest();

    // Cuts a time to hundredths of a second, toward minus infinity.
    static double FormatNr(double dblNumber);

    // The Close button: drops the connection and unloads the dialog.
    void cmdClose_Click();

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

public Q_SLOTS:
    void done(int result) override;

private:
    enum class Phase {
        Ready,    // before LaunchTest
        Testing,  // connect requested, then waiting for the reply
        Finished, // the reply came; the report was shown
        Failed,   // the socket reported an error
        Closed,   // the dialog was closed
    };
    class HandlerScope;

    void sck_Connect();
    void sck_DataArrival();
    void sck_Error(QAbstractSocket::SocketError Number, const QString &Description);

    bool sendProbe();
    void failTest(const QString &description);
    void unload();
    void fitBottomRow();
    double reading() const;

    Platform &m_platform;

    AutoSizeLabel *lblIP = nullptr;
    AutoSizeLabel *lblHostName = nullptr;
    QLineEdit *txtIP = nullptr;
    QLineEdit *txtHostname = nullptr;
    AutoSizeLabel *lblPort = nullptr;
    QLineEdit *txtPort = nullptr;
    QProgressBar *prg = nullptr;
    QPushButton *cmdClose = nullptr;
    AutoSizeLabel *lblTesting = nullptr;
    AutoSizeLabel *lblStatus = nullptr;
    QTcpSocket *sck = nullptr;

    // The four clock readings of the test, in seconds of a monotonic clock.
    double dblStart = 0;
    double dblConnected = 0;
    double dblSent = 0;
    double dblReceived = 0;

    Phase m_phase = Phase::Ready;
    bool m_connectHandled = false;
    bool m_probeSent = false;
    bool m_requesting = false; // inside the socket's connect request
    int m_handlerDepth = 0;    // socket handlers on the stack
    bool m_deletePending = false;
};
