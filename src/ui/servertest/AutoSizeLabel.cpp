// SPDX-License-Identifier: GPL-3.0-or-later
#include "AutoSizeLabel.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QStyle>

#include <algorithm>
#include <cmath>

AutoSizeLabel::AutoSizeLabel(Anchor anchor, QWidget *parent)
    : QLabel(parent)
    , m_anchor(anchor)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
    setAlignment((anchor == Anchor::Left ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
}

void AutoSizeLabel::place(int x, int y, int width, int height)
{
    m_edge = m_anchor == Anchor::Left ? x : x + width;
    setGeometry(x, y, width, height);
    fit();
}

void AutoSizeLabel::setCaption(const QString &caption)
{
    setText(caption);
    fit();
}

void AutoSizeLabel::setRoom(int width)
{
    m_room = std::max(0, width);
    fit();
}

bool AutoSizeLabel::isCut() const
{
    return captionWidth() > m_room;
}

int AutoSizeLabel::captionWidth() const
{
    // Whole pixels that hold the text's exact width, so that it never shows cut.
    const QMargins margins = contentsMargins();
    return int(std::ceil(QFontMetricsF(font()).horizontalAdvance(text()))) + margins.left() + margins.right();
}

void AutoSizeLabel::fit()
{
    const int width = std::min(captionWidth(), m_room);
    const int x = m_anchor == Anchor::Left ? m_edge : m_edge - width;
    setGeometry(x, geometry().y(), width, geometry().height());
    setToolTip(isCut() ? text() : QString());
    update();
}

void AutoSizeLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect area = contentsRect();
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, area.width());
    style()->drawItemText(&painter, area, int(QStyle::visualAlignment(layoutDirection(), alignment())), palette(),
                          isEnabled(), shown, foregroundRole());
}

void AutoSizeLabel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fit();
}
