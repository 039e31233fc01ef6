// SPDX-License-Identifier: GPL-3.0-or-later
#include "TextLines.h"

TextLines::TextLines(const QByteArray &content, const QString &defaultNewline)
{
    m_encoding = content.startsWith("\xFF\xFE") ? Encoding::Utf16LE : Encoding::Utf8;
    const qsizetype unit = m_encoding == Encoding::Utf16LE ? 2 : 1;
    m_wellFormed = content.size() % unit == 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i + unit <= content.size(); i += unit) {
        if (content.at(i) == '\n' && (unit == 1 || content.at(i + 1) == '\0')) {
            m_lines.append(content.mid(start, i + unit - start));
            start = i + unit;
        }
    }
    if (start < content.size())
        m_lines.append(content.mid(start));
    m_defaultNewline = encode(defaultNewline);
}

qsizetype TextLines::endingSize(qsizetype index) const
{
    const QByteArray &line = m_lines.at(index);
    if (m_encoding == Encoding::Utf16LE) {
        if (line.endsWith(QByteArray("\r\0\n\0", 4)))
            return 4;
        return line.endsWith(QByteArray("\n\0", 2)) ? 2 : 0;
    }
    if (line.endsWith("\r\n"))
        return 2;
    return line.endsWith('\n') ? 1 : 0;
}

bool TextLines::hasLineEnding(qsizetype index) const
{
    return endingSize(index) > 0;
}

QString TextLines::text(qsizetype index) const
{
    const QByteArray &line = m_lines.at(index);
    const qsizetype size = line.size() - endingSize(index);
    if (m_encoding == Encoding::Utf16LE) {
        QString text(size / 2, Qt::Uninitialized);
        for (qsizetype i = 0; i < text.size(); ++i)
            text[i] = QChar(char16_t(uchar(line.at(2 * i)) | uchar(line.at(2 * i + 1)) << 8));
        return index == 0 && text.startsWith(QChar(0xFEFF)) ? text.mid(1) : text;
    }
    return QString::fromUtf8(line.constData(), size);
}

QByteArray TextLines::encode(const QString &text) const
{
    if (m_encoding == Encoding::Utf8)
        return text.toUtf8();
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        bytes[2 * i] = char(text.at(i).unicode() & 0xFF);
        bytes[2 * i + 1] = char(text.at(i).unicode() >> 8);
    }
    return bytes;
}

QByteArray TextLines::newline() const
{
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (const qsizetype size = endingSize(i))
            return m_lines.at(i).right(size);
    }
    return m_defaultNewline;
}

void TextLines::replace(qsizetype index, qsizetype count, const QString &text)
{
    const qsizetype last = index + count - 1;
    const QByteArray ending = m_lines.at(last).right(endingSize(last));
    // The byte-order mark stays at the start of the file.
    const bool mark = index == 0 && m_encoding == Encoding::Utf16LE;
    m_lines[index] = (mark ? QByteArray("\xFF\xFE") : QByteArray()) + encode(text) + ending;
    m_lines.remove(index + 1, count - 1);
}

void TextLines::insert(qsizetype index, const QString &text)
{
    const QByteArray nl = newline();
    if (index > 0 && !hasLineEnding(index - 1))
        m_lines[index - 1] += nl;
    m_lines.insert(index, encode(text) + nl);
}
