// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes loading the server list: any bytes load without a fault, one row per
// line ended by CR LF, the status cell shows the row's mark, and the text of
// every port the list shows reads back as the same number (what a switch
// writes must mark its row at the next start). Input: Messenger's setting, a
// line feed, then the file; without a line feed, all of it is the file.

#include "FuzzHarness.h"

#include "core/Numbers.h"
#include "core/ServerListModel.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype lineFeed = input.indexOf('\n');
    const QByteArray file = lineFeed < 0 ? input : input.mid(lineFeed + 1);
    const QString setting = lineFeed < 0 ? QString() : decodeWindows1252(input.constData(), lineFeed);

    ServerListModel model;
    model.setList(ServerList::parse(file, parseCurrentServer(setting)));
    fuzzCheck(model.rowCount() == file.count("\r\n"), QStringLiteral("%1 rows").arg(model.rowCount()));
    for (int row = 0; row < model.rowCount(); ++row) {
        const ServerRow shown = model.row(row);
        const QString where = QStringLiteral("row %1").arg(row);
        const QString status = model.index(row, ServerListModel::StatusColumn).data().toString();
        fuzzCheck(status == (shown.current ? CurrentMarker : QString()), where);
        if (shown.port) {
            const double back = leadingNumber(numberText(*shown.port));
            fuzzCheck(back == *shown.port || std::abs(back - *shown.port) <= std::abs(*shown.port) * 1e-14, where);
        }
    }
    return 0;
}
