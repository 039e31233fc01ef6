// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

// A one-line label that sizes itself to its caption. It keeps one vertical
// edge where it was placed and grows away from it: a left-anchored label
// grows to the right, a right-anchored one (right-aligned text) to the left.
// A caption wider than the room the label is given is painted cut short with
// "..." and shown whole in the tool tip; text() and the accessible name
// always hold the whole caption. Captions are plain text.
class AutoSizeLabel : public QLabel
{
    Q_OBJECT

public:
    enum class Anchor { Left, Right };

    explicit AutoSizeLabel(Anchor anchor, QWidget *parent = nullptr);

    // Places the label; the anchored edge of this rectangle stays from here on.
    void place(int x, int y, int width, int height);
    // Sets the caption and resizes the label to it (set captions through this,
    // not QLabel::setText, so that the size follows).
    void setCaption(const QString &caption);
    // The widest the label may become.
    void setRoom(int width);
    // True when the caption does not fit the room and shows cut short.
    bool isCut() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    int captionWidth() const;
    void fit();

    Anchor m_anchor;
    int m_edge = 0; // x of the anchored edge
    int m_room = QWIDGETSIZE_MAX;
};
