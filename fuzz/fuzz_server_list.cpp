// Fuzzes the loading of the server list: decoding the file's bytes, cutting
// them into rows and marking the rows that match Messenger's setting, then
// handing the rows to the list model.
//
// Input: the setting, a line feed, then the bytes of the file. Without a line
// feed the whole input is the file and the setting is empty.
//
// The rows are checked against a plain byte-wise reading of the same file:
// one row per CR LF, fields cut at ';', an empty host name shown as
// "(Unknown host)", missing cells empty, the port cell the printed number.

#include "FuzzCheck.h"

#include "servers/MessengerSetting.h"
#include "servers/Numbers.h"
#include "servers/ServerList.h"
#include "servers/ServerListModel.h"

#include <QLocale>

#include <cstdint>

namespace {

// The records of the file as byte strings: every piece that a CR LF ends.
QList<QByteArray> records(const QByteArray &file)
{
    QList<QByteArray> result;
    qsizetype start = 0;
    for (qsizetype end; (end = file.indexOf("\r\n", start)) >= 0; start = end + 2)
        result.append(file.mid(start, end - start));
    return result;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    QLocale::setDefault(QLocale::c());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype lineFeed = input.indexOf('\n');
    const QByteArray settingBytes = lineFeed < 0 ? QByteArray() : input.left(lineFeed);
    const QByteArray file = lineFeed < 0 ? input : input.mid(lineFeed + 1);

    const QString text = decodeServerListBytes(file);
    FUZZ_CHECK(text.size() == file.size(), QStringLiteral("one character per byte"));
    for (qsizetype i = 0; i < file.size(); ++i) {
        const auto byte = static_cast<unsigned char>(file.at(i));
        if (byte < 0x80 || byte >= 0xA0)
            FUZZ_CHECK(text.at(i).unicode() == byte, QStringLiteral("byte %1 at %2").arg(byte).arg(i));
    }

    const std::optional<CurrentServer> current = parseCurrentServer(decodeServerListBytes(settingBytes));
    const QVector<ServerEntry> rows = parseServerList(text, current);

    const QList<QByteArray> expected = records(file);
    FUZZ_CHECK(rows.size() == expected.size(), QStringLiteral("%1 rows for %2 records").arg(rows.size()).arg(expected.size()));
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const ServerEntry &row = rows.at(i);
        const QList<QByteArray> fields = expected.at(i).isEmpty() ? QList<QByteArray>() : expected.at(i).split(';');
        const QString where = QStringLiteral("row %1").arg(i);
        const QString host = fields.size() > 0 ? decodeServerListBytes(fields.at(0)) : QString();
        FUZZ_CHECK(row.host == (fields.size() > 0 && host.isEmpty() ? UnknownHost : host), where);
        FUZZ_CHECK(row.ip == (fields.size() > 1 ? decodeServerListBytes(fields.at(1)) : QString()), where);
        FUZZ_CHECK(row.port == (fields.size() > 2 ? NumberText(LeadingNumber(decodeServerListBytes(fields.at(2)))) : QString()), where);
        FUZZ_CHECK(row.status.isEmpty() || row.status == CurrentMarker, where);
        // Only a complete setting and a record of three fields can be marked.
        if (!row.status.isEmpty()) {
            FUZZ_CHECK(current && fields.size() >= 3, where);
            FUZZ_CHECK(row.ip.toLower() == current->ip.toLower(), where);
        }
    }
    FUZZ_CHECK(itemCountText(rows.size()).startsWith(QString::number(rows.size()) + QLatin1Char(' ')), QString());

    // The list model holds the rows and hands every cell back.
    ServerListModel model;
    model.setRows(rows);
    FUZZ_CHECK(model.rowCount() == rows.size(), QString());
    for (int i = 0; i < model.rowCount(); ++i) {
        const ServerEntry &row = rows.at(i);
        const QString cells[] = {row.host, row.ip, row.port, row.status};
        for (int column = 0; column < model.columnCount(); ++column)
            FUZZ_CHECK(model.data(model.index(i, column)).toString() == cells[column], QStringLiteral("cell %1,%2").arg(i).arg(column));
    }
    return 0;
}
