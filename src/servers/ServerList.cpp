#include "ServerList.h"

#include "Numbers.h"

QString decodeServerListBytes(const QByteArray &bytes)
{
    // 0x80..0x9F of Windows-1252; the rest of the page equals Latin-1.
    static const char16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        *out++ = QChar(value >= 0x80 && value < 0xA0 ? high[value - 0x80] : char16_t(value));
    }
    return text;
}

QVector<ServerEntry> parseServerList(QStringView text, const std::optional<CurrentServer> &current)
{
    QVector<ServerEntry> rows;
    QStringList fields;
    // Lists give most servers the same port: its cell is made once per run of
    // equal port fields and shared by those rows.
    QString portField;
    QString portCell;
    // Each CR LF ends a record; what follows the last one is not a record.
    qsizetype start = 0;
    for (qsizetype cr = text.indexOf(QLatin1Char('\r')); cr >= 0 && cr + 1 < text.size();
         cr = text.indexOf(QLatin1Char('\r'), cr + 1)) {
        if (text.at(cr + 1) != u'\n')
            continue;
        const QStringView record = text.sliced(start, cr - start);
        start = cr + 2;

        fields.clear();
        // Every ';' ends a field; an empty record has none.
        for (qsizetype from = 0; !record.isEmpty() && from <= record.size();) {
            const qsizetype semicolon = record.indexOf(QLatin1Char(';'), from);
            const qsizetype end = semicolon < 0 ? record.size() : semicolon;
            fields.append(record.sliced(from, end - from).toString());
            from = end + 1;
        }
        if (!fields.isEmpty() && fields.first().isEmpty())
            fields.first() = UnknownHost;

        ServerEntry row;
        if (fields.size() > 0)
            row.host = fields.at(0);
        if (fields.size() > 1)
            row.ip = fields.at(1);
        if (fields.size() > 2) {
            if (portCell.isNull() || fields.at(2) != portField) {
                portField = fields.at(2);
                portCell = NumberText(LeadingNumber(portField));
            }
            row.port = portCell;
        }
        if (matchesCurrentServer(fields, current))
            row.status = CurrentMarker;
        rows.append(std::move(row));
    }
    return rows;
}

QString itemCountText(qsizetype count)
{
    return QString::number(count) + QStringLiteral(" items in database.");
}
