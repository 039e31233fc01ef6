// SPDX-License-Identifier: GPL-3.0-or-later
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
// the testing label (m_testingLabel) at the left and the status label
// (m_statusLabel) beside the Close button: the testing label keeps its left
// edge (x = 8), the status label keeps its right edge (x = 249, 7 pixels left
// of Close) and grows to the left. A long error description in the testing
// label is cut short on screen 7 pixels before the status label and shown
// whole in its tool tip.
class ServerTestDialog : public QDialog
{
    Q_OBJECT

public:
    ServerTestDialog(Clock &clock, ProbeConnector &connector, MessageBoxes &messageBoxes, QWidget *parent = nullptr);

    // Copies a server row into the host name, IP and port boxes, in this
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

    AutoSizeLabel *m_ipLabel = nullptr;
    AutoSizeLabel *m_hostLabel = nullptr;
    QLineEdit *m_ipBox = nullptr;
    QLineEdit *m_hostBox = nullptr;
    AutoSizeLabel *m_portLabel = nullptr;
    QLineEdit *m_portBox = nullptr;
    QProgressBar *m_progressBar = nullptr;
    QPushButton *m_closeButton = nullptr;
    AutoSizeLabel *m_testingLabel = nullptr;
    AutoSizeLabel *m_statusLabel = nullptr;
};
