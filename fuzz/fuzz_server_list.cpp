// Fuzzes loading the server list against a plain reading of the same bytes:
// one row per CR LF, fields cut at ';', an empty host name shown as
// "(Unknown host)", missing cells empty, the port the number of its field.
// Each port's text must read back as the same number. Input: Messenger's
// setting, a line feed, then the file; without a line feed, all of it is the
// file.

#include "FuzzCheck.h"

#include "core/Numbers.h"
#include "core/ServerListModel.h"

#include <cmath>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype lineFeed = input.indexOf('\n');
    const QByteArray file = lineFeed < 0 ? input : input.mid(lineFeed + 1);
    const QString setting = lineFeed < 0 ? QString() : decodeWindows1252(input.constData(), lineFeed);
    const std::optional<CurrentServer> current = parseCurrentServer(setting);

    ServerListModel model;
    model.setList(ServerList::parse(file, current));
    qsizetype row = 0;
    qsizetype start = 0;
    for (qsizetype end = file.indexOf("\r\n"); end >= 0; end = file.indexOf("\r\n", start)) {
        FUZZ_CHECK(row < model.rowCount(), QStringLiteral("too few rows"));
        const QByteArray record = file.mid(start, end - start);
        const QList<QByteArray> fields = record.isEmpty() ? QList<QByteArray>() : record.split(';');
        const QString host = fields.isEmpty() ? QString() : decodeWindows1252(fields[0].constData(), fields[0].size());
        const ServerRow shown = model.row(int(row));
        const QString where = QStringLiteral("row %1").arg(row);
        FUZZ_CHECK(shown.host == (!fields.isEmpty() && host.isEmpty() ? UnknownHost : host), where);
        FUZZ_CHECK(shown.ip == (fields.size() > 1 ? decodeWindows1252(fields[1].constData(), fields[1].size()) : QString()), where);
        FUZZ_CHECK(shown.port.has_value() == (fields.size() > 2), where);
        if (shown.port) {
            FUZZ_CHECK(*shown.port == leadingNumber(QString::fromLatin1(fields[2])), where);
            const double back = leadingNumber(numberText(*shown.port));
            FUZZ_CHECK(back == *shown.port || std::abs(back - *shown.port) <= std::abs(*shown.port) * 1e-14, where);
        }
        const bool marked = current && shown.port && *shown.port == current->port
            && matchesCurrentServer(QStringView(shown.host), QStringView(shown.ip), *shown.port, *current);
        FUZZ_CHECK(shown.current == marked, where);
        FUZZ_CHECK(model.index(int(row), ServerListModel::StatusColumn).data().toString() == (marked ? CurrentMarker : QString()), where);
        start = end + 2;
        ++row;
    }
    FUZZ_CHECK(row == model.rowCount(), QStringLiteral("too many rows"));
    return 0;
}
