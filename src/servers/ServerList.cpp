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
    if (text.isEmpty())
        return rows;
    const QList<QStringView> pieces = text.split(u"\r\n");
    rows.reserve(pieces.size() - 1);
    QStringList fields;
    // The last piece follows the last CR LF and is not a record.
    for (qsizetype i = 0; i + 1 < pieces.size(); ++i) {
        fields.clear();
        if (!pieces.at(i).isEmpty()) {
            for (const QStringView field : pieces.at(i).split(u';'))
                fields.append(field.toString());
        }
        if (!fields.isEmpty() && fields.first().isEmpty())
            fields.first() = UnknownHost;

        ServerEntry row;
        if (fields.size() > 0)
            row.host = fields.at(0);
        if (fields.size() > 1)
            row.ip = fields.at(1);
        if (fields.size() > 2)
            row.port = NumberText(LeadingNumber(fields.at(2)));
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
