#pragma once

#include <QDialog>

#include <optional>

class AutoSizeLabel;
class Clock;
class MessageBoxes;
class ProbeConnector;
class QLineEdit;
class QProgressBar;
class QPushButton;
class ServerProbe;
struct ProbeResult;

// The server test dialog: a view of one ServerProbe. It shows the server
// under test, the progress of the test and its outcome, and reports the
// connection time, response time and rating in a message box.
//
// The owner fills the boxes (setServer) and calls launchTest before showing
// the dialog, so the connection time includes the show. Each dialog runs one
// test; nothing carries over to the next.
//
// Screen: all labels size themselves to their text. The bottom row holds
// lblTesting at the left and lblStatus beside the Close button: lblTesting
// keeps its left edge (x = 8), lblStatus keeps its right edge (x = 249,
// 7 pixels left of Close) and grows to the left. A long error description in
// lblTesting is cut short on screen 7 pixels before lblStatus and shown whole
// in its tool tip.
class ServerTestDialog : public QDialog
{
    Q_OBJECT

public:
    ServerTestDialog(Clock &clock, ProbeConnector &connector, MessageBoxes &messageBoxes, QWidget *parent = nullptr);

    // Copies a server row into txtHostname, txtIP and txtPort, in this
    // order; the test goes to that IP address and port.
    void setServer(const QString &host, const QString &ip, std::optional<double> port);

    // Starts the test: takes the start reading and requests the connection.
    // Once per dialog; later calls do nothing.
    void launchTest();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void showConnected();
    void showWaiting();
    void showEnd(const ProbeResult &result);
    void showFinished(double connectionSeconds, double responseSeconds);
    void showFailed(const QString &description);
    void onCloseClicked();
    void fitBottomRow();

    MessageBoxes &m_messageBoxes;
    ServerProbe *m_probe;
    QString m_ip;
    double m_port = 0;
    bool m_launched = false;

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
};
