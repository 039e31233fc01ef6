// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A text file held as its lines, each with its own line ending, in UTF-8 or
// (with a byte-order mark) UTF-16LE. Lines that are not replaced come back
// byte for byte, whatever they hold.
class TextLines
{
public:
    enum class Encoding { Utf8, Utf16LE };

    // New lines end in the file's own line ending; in a file that has none
    // yet, in defaultNewline.
    explicit TextLines(const QByteArray &content, const QString &defaultNewline = QStringLiteral("\r\n"));

    Encoding encoding() const { return m_encoding; }
    // False for UTF-16 cut in the middle of a character: lines added to it
    // would not line up with the rest.
    bool isWellFormed() const { return m_wellFormed; }
    qsizetype size() const { return m_lines.size(); }
    bool isEmpty() const { return m_lines.isEmpty(); }
    // A line's text without its line ending.
    QString text(qsizetype index) const;
    bool hasLineEnding(qsizetype index) const;

    // Replaces lines [index, index + count) by one line of text, which keeps
    // the line ending of the last replaced line.
    void replace(qsizetype index, qsizetype count, const QString &text);
    // Inserts a line of text before index (size() appends), ending in the
    // file's line ending; the line before it gets one if it had none.
    void insert(qsizetype index, const QString &text);

    QByteArray content() const { return m_lines.join(); }

private:
    QByteArray encode(const QString &text) const;
    QByteArray newline() const;
    qsizetype endingSize(qsizetype index) const;

    QList<QByteArray> m_lines;
    Encoding m_encoding = Encoding::Utf8;
    bool m_wellFormed = true;
    QByteArray m_defaultNewline;
};
