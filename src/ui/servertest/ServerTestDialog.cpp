// SPDX-License-Identifier: GPL-3.0-or-later
#include "ServerTestDialog.h"

#include "AutoSizeLabel.h"
#include "core/Numbers.h"
#include "core/ProbeConnection.h"
#include "core/ServerListModel.h"
#include "core/ServerProbe.h"
#include "core/Rating.h"
#include "platform/MessageBoxes.h"
#include "ui/WidgetLayout.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include <limits>
#include <utility>

namespace {

// The status label ends 7 pixels left of the Close button; the testing label
// keeps the same distance from the status label.
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
QLineEdit *textBox(QWidget *parent, const char *name, const QString &text, const QString &accessibleName, int x, int y,
                   int width, int height)
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
    box->setText(ServerListModel::displayed(text));
    box->setCursorPosition(0); // show the start of a long text, not its end
}

} // namespace

ServerTestDialog::ServerTestDialog(Clock &clock, ProbeConnector &connector, MessageBoxes &messageBoxes, QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_messageBoxes(messageBoxes)
    , m_probe(new ServerProbe(clock, connector, this))
{
    setObjectName(QStringLiteral("frmTest"));
    setWindowTitle(tr("Server Test"));
    setFont(tahomaFont(8.25));
    setFixedSize(346, 113);
    setSizeGripEnabled(false);
    // The hourglass until a test ends.
    setCursor(Qt::WaitCursor);

    // Design texts; the owner replaces those of the boxes and launchTest
    // those of the labels before the dialog first shows.
    m_ipLabel = caption(this, "lblIP", tr("IP:"), 8, 8, 14, 13);
    m_hostLabel = caption(this, "lblHostName", tr("Hostname:"), 8, 24, 52, 13);
    m_ipBox = textBox(this, "txtIP", QStringLiteral("127.0.0.1"), tr("IP address"), 24, 8, 313, 13);
    m_hostBox = textBox(this, "txtHostname", QStringLiteral("localhost"), tr("Host name"), 64, 24, 273, 13);
    m_portLabel = caption(this, "lblPort", tr("Port:"), 8, 40, 24, 13);
    m_portBox = textBox(this, "txtPort", QStringLiteral("80"), tr("Port"), 40, 40, 297, 13);
    // Where a wider font stands in for Tahoma a caption can reach into the
    // box beside it: the caption then stays on top and the box's text starts
    // after it.
    for (const auto &[label, box] :
         {std::pair{m_ipLabel, m_ipBox}, {m_hostLabel, m_hostBox}, {m_portLabel, m_portBox}}) {
        const int overlap = label->geometry().right() + 3 - box->x();
        if (overlap > 0) {
            label->raise();
            box->setTextMargins(overlap, 0, 0, 0);
        }
    }

    m_progressBar = placed<QProgressBar>(this, "prg", 8, 56, 329, 17);
    m_progressBar->setRange(0, 3);
    m_progressBar->setValue(0);
    m_progressBar->setTextVisible(false);
    m_progressBar->setAccessibleName(tr("Test progress"));

    // Enter and Esc do not press Close.
    m_closeButton = placed<QPushButton>(this, "cmdClose", 256, 80, 81, 25);
    m_closeButton->setText(tr("Close"));
    m_closeButton->setAutoDefault(false);
    m_closeButton->setDefault(false);

    m_testingLabel = caption(this, "lblTesting", tr("Ready"), 8, 80, 31, 13);
    m_statusLabel = caption(this, "lblStatus", tr("Ready"), 218, 80, 31, 13, AutoSizeLabel::Anchor::Right);
    fitBottomRow();

    setTabOrder(m_ipBox, m_hostBox);
    setTabOrder(m_hostBox, m_portBox);
    setTabOrder(m_portBox, m_closeButton);

    connect(m_probe, &ServerProbe::connected, this, &ServerTestDialog::showConnected);
    connect(m_probe, &ServerProbe::waiting, this, &ServerTestDialog::showWaiting);
    connect(m_probe, &ServerProbe::ended, this, &ServerTestDialog::showEnd);
    connect(m_closeButton, &QPushButton::clicked, this, &ServerTestDialog::onCloseClicked);
}

void ServerTestDialog::setServer(const QString &host, const QString &ip, std::optional<double> port)
{
    setBoxText(m_hostBox, host);
    setBoxText(m_ipBox, ip);
    setBoxText(m_portBox, port ? numberText(*port) : QString());
    m_ip = ip;
    m_port = port.value_or(0);
}

void ServerTestDialog::launchTest()
{
    if (m_launched)
        return;
    m_launched = true;
    m_probe->start(m_ip, m_port);
    m_testingLabel->setCaption(tr("Test in progress..."));
    m_statusLabel->setCaption(tr("Connecting..."));
    fitBottomRow();
}

void ServerTestDialog::showConnected()
{
    m_progressBar->setValue(1);
}

void ServerTestDialog::showWaiting()
{
    m_statusLabel->setCaption(tr("Waiting for response..."));
    fitBottomRow();
    m_progressBar->setValue(2);
}

void ServerTestDialog::showEnd(const ProbeResult &result)
{
    // A server that closes without answering leaves the test waiting, as a
    // silent one does, until the user closes it.
    if (result.end == ProbeResult::End::Replied)
        showFinished(*result.connectionSeconds, *result.responseSeconds);
    else if (result.end == ProbeResult::End::Failed)
        showFailed(result.error);
}

void ServerTestDialog::showFinished(double connectionSeconds, double responseSeconds)
{
    m_testingLabel->setCaption(tr("Finished!"));
    m_statusLabel->setCaption(tr("Finished!"));
    fitBottomRow();
    m_progressBar->setValue(3);
    unsetCursor();
    // The report opens once this handler has returned; a dialog closed
    // meanwhile takes its report with it.
    const QString report = testReportText(rateTest(connectionSeconds, responseSeconds));
    QMetaObject::invokeMethod(
        this, [this, report] { m_messageBoxes.showMessage(report, MessageStyle::Information); }, Qt::QueuedConnection);
}

void ServerTestDialog::showFailed(const QString &description)
{
    m_testingLabel->setCaption(tr("Error (%1)").arg(ProbeConnection::shownDescription(description)));
    fitBottomRow();
    unsetCursor();
}

void ServerTestDialog::onCloseClicked()
{
    m_probe->stop();
    close();
}

void ServerTestDialog::closeEvent(QCloseEvent *event)
{
    m_probe->stop();
    QDialog::closeEvent(event);
}

void ServerTestDialog::keyPressEvent(QKeyEvent *event)
{
    // Esc does not close the dialog; only Close and the close box do.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ServerTestDialog::fitBottomRow()
{
    m_testingLabel->setRoom(m_statusLabel->geometry().left() - LabelGap - m_testingLabel->geometry().left());
}
