// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVector>

class ListTestModel;

// The ways a list test's table is written out as text.
enum class TableFormat {
    TabSeparated, // the Test List's Copy: the window's headers, tab-separated cells, whole
    Csv, // the command line's --csv: host,ip,port,... with quoted fields where needed
    Aligned, // the command line's table: columns padded to their widest cell, two blanks apart
};

// The table of the given rows of the model, in that order, as text: a header
// line, then one line per row, each ended by LF. No control character of a
// list reaches the text (each becomes U+FFFD), so that a cell stays one field
// of one line and a terminal shows it as it is. The aligned table shows the
// cells as the window does (long names shortened, rating and reply in the
// user's language) and counts widths in characters; the others give the
// cells whole, in English.
QString resultTable(const ListTestModel &model, const QVector<int> &rows, TableFormat format);
