// SPDX-License-Identifier: GPL-3.0-or-later
#include "ResultTable.h"

#include "ListTestModel.h"

#include <QStringList>

#include <algorithm>

namespace {

// A cell without control characters: no tab, line break or terminal escape.
QString cleaned(QString text)
{
    for (QChar &c : text) {
        if (c.category() == QChar::Other_Control)
            c = QChar::ReplacementCharacter;
    }
    return text;
}

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

// Characters, not UTF-16 units: a character beyond U+FFFF is one.
qsizetype characterCount(const QString &text)
{
    return text.size() - std::count_if(text.begin(), text.end(), [](QChar c) { return c.isLowSurrogate(); });
}

QStringList headerCells(const ListTestModel &model, TableFormat format)
{
    if (format == TableFormat::Csv) {
        return {QStringLiteral("host"),       QStringLiteral("ip"),       QStringLiteral("port"),
                QStringLiteral("connection"), QStringLiteral("response"), QStringLiteral("rating"),
                QStringLiteral("reply")};
    }
    QStringList cells;
    for (int column = 0; column < ListTestModel::ColumnCount; ++column)
        cells.append(model.headerData(column, Qt::Horizontal).toString());
    return cells;
}

QStringList rowCells(const ListTestModel &model, int row, TableFormat format)
{
    QStringList cells;
    for (int column = 0; column < ListTestModel::ColumnCount; ++column) {
        // The aligned table is read by people: the cells as the window
        // shows them, in the user's language. The others keep English.
        const QString text = cleaned(format == TableFormat::Aligned ? model.data(model.index(row, column)).toString()
                                                                    : model.text(row, column));
        cells.append(format == TableFormat::Csv ? csvField(text) : text);
    }
    return cells;
}

QString alignedLines(const QVector<QStringList> &lines)
{
    QVector<qsizetype> widths(ListTestModel::ColumnCount, 0);
    for (const QStringList &cells : lines) {
        for (int column = 0; column < cells.size(); ++column)
            widths[column] = std::max(widths[column], characterCount(cells[column]));
    }
    QString out;
    for (const QStringList &cells : lines) {
        // Padding stops at the last cell that holds text: no blank ends a
        // line but a cell's own.
        qsizetype last = cells.size() - 1;
        while (last > 0 && cells[last].isEmpty())
            --last;
        QString line;
        for (qsizetype column = 0; column <= last; ++column) {
            line += cells[column];
            if (column < last)
                line += QString(widths[column] - characterCount(cells[column]) + 2, QLatin1Char(' '));
        }
        out += line + QLatin1Char('\n');
    }
    return out;
}

} // namespace

QString resultTable(const ListTestModel &model, const QVector<int> &rows, TableFormat format)
{
    QVector<QStringList> lines;
    lines.reserve(rows.size() + 1);
    lines.append(headerCells(model, format));
    for (const int row : rows)
        lines.append(rowCells(model, row, format));
    if (format == TableFormat::Aligned)
        return alignedLines(lines);
    const QLatin1Char separator(format == TableFormat::Csv ? ',' : '\t');
    QString out;
    for (const QStringList &cells : lines)
        out += cells.join(separator) + QLatin1Char('\n');
    return out;
}
