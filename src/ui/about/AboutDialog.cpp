// SPDX-License-Identifier: GPL-3.0-or-later
#include "AboutDialog.h"

#include "ui/AppIcon.h"
#include "ui/WidgetLayout.h"
#include "ui/about/ReferralLinks.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace {

QLabel *label(QWidget *parent, const char *name, const QRect &place, const QString &text, Qt::Alignment alignment)
{
    auto *result = placed<QLabel>(parent, name, place.x(), place.y(), place.width(), place.height());
    result->setTextFormat(Qt::PlainText);
    result->setAlignment(alignment | Qt::AlignTop);
    result->setText(text);
    return result;
}

} // namespace

AboutDialog::AboutDialog(LinkOpener &links, Registry &registry, QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_links(links)
    , m_registry(registry)
{
    setObjectName(QStringLiteral("frmabout"));
    setWindowTitle(tr("About Nexolan..."));
    // A tool window shows no icon of its own; this keeps the application's
    // icon from being inherited.
    setWindowIcon(QIcon());
    setFont(tahomaFont(8.25));
    setFixedSize(186, 233);
    setSizeGripEnabled(false);

    // Created in tab order, the picture last.
    m_titleLabel = label(this, "lblTitle", {56, 8, 118, 25}, QStringLiteral("Nexolan"), Qt::AlignLeft);
    m_titleLabel->setFont(tahomaFont(15.75));

    m_authorLabel = label(this, "lblByME", {115, 40, 62, 13}, tr("By Torvik"), Qt::AlignRight);

    m_descriptionLabel = label(this, "lblInfo", {16, 56, 161, 121},
                               tr("Nexolan is an application wich shows you a list of servers you can connect to, "
                                  "with the ability to test them. It was inspired by an earlier server switcher. "
                                  "Thanks to those who gathered the server list and to the artist of the icon."),
                               Qt::AlignHCenter);
    m_descriptionLabel->setWordWrap(true);

    m_linkLabel = label(this, "lblSupport", {69, 184, 108, 13}, tr("Click on my grimhal link"), Qt::AlignRight);
    QFont linkFont = tahomaFont(8.25);
    linkFont.setUnderline(true);
    m_linkLabel->setFont(linkFont);
    QPalette linkPalette = m_linkLabel->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        linkPalette.setColor(group, QPalette::WindowText, QColor(0, 0, 255));
    m_linkLabel->setPalette(linkPalette);
    // Where Tahoma is missing a wider font stands in for it; the
    // right-aligned link then grows to the left instead of losing the start
    // of its text.
    const int linkWidth = m_linkLabel->fontMetrics().horizontalAdvance(m_linkLabel->text()) + 1;
    if (linkWidth > m_linkLabel->width()) {
        const int right = m_linkLabel->x() + m_linkLabel->width();
        const int left = qMax(8, right - linkWidth);
        m_linkLabel->setGeometry(left, m_linkLabel->y(), right - left, m_linkLabel->height());
    }
    m_linkLabel->setCursor(Qt::PointingHandCursor);
    m_linkLabel->setAccessibleName(m_linkLabel->text());
    m_linkLabel->setAccessibleDescription(tr("Opens the Grimhal web page in the browser"));
    m_linkLabel->installEventFilter(this);

    m_closeButton = placed<QPushButton>(this, "cmdClose", 96, 200, 81, 25);
    m_closeButton->setText(tr("Close"));
    m_closeButton->setDefault(true);

    m_iconLabel = placed<QLabel>(this, "Image1", 8, 8, 32, 32);
    m_iconLabel->setPixmap(appIcon().pixmap(QSize(32, 32)));
    m_iconLabel->setAccessibleName(tr("Nexolan icon"));

    // The Close button is the only control that takes the focus.
    for (QWidget *control : {static_cast<QWidget *>(m_titleLabel), static_cast<QWidget *>(m_authorLabel),
                             static_cast<QWidget *>(m_descriptionLabel), static_cast<QWidget *>(m_linkLabel),
                             static_cast<QWidget *>(m_iconLabel)})
        control->setFocusPolicy(Qt::NoFocus);
    m_closeButton->setFocus(Qt::OtherFocusReason);

    connect(m_closeButton, &QPushButton::clicked, this, &AboutDialog::onCloseClicked);
}

void AboutDialog::onCloseClicked()
{
    reject();
}

void AboutDialog::onSupportLinkClicked()
{
    // The dialog has no handling of its own for a ShowLinks value that cannot
    // be read: nothing opens and nothing is shown.
    openReferralLink(m_links, m_registry, AboutReferralUrl);
}

bool AboutDialog::eventFilter(QObject *watched, QEvent *event)
{
    // A click is a left press and release on the label.
    if (watched == m_linkLabel) {
        if (event->type() == QEvent::MouseButtonPress) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            m_supportPressed = mouse->button() == Qt::LeftButton;
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            const bool click = m_supportPressed && mouse->button() == Qt::LeftButton
                && m_linkLabel->rect().contains(mouse->position().toPoint());
            m_supportPressed = false;
            if (click)
                onSupportLinkClicked();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void AboutDialog::keyPressEvent(QKeyEvent *event)
{
    // Esc presses the Close button, as Enter does through the default button.
    if (event->matches(QKeySequence::Cancel)) {
        m_closeButton->click();
        return;
    }
    QDialog::keyPressEvent(event);
}
