// SPDX-License-Identifier: GPL-3.0-or-later
#include "ServerList.h"

#include "Numbers.h"

#include <QCoreApplication>

#include <cstring>
#include <limits>

namespace {

// 0x80..0x9F of Windows-1252; the rest of the page equals Latin-1.
constexpr char16_t high1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QChar decoded(char byte)
{
    const auto value = static_cast<unsigned char>(byte);
    return QChar(value >= 0x80 && value < 0xA0 ? high1252[value - 0x80] : char16_t(value));
}

// A record's field as text, decoded from Windows-1252 one byte at a time, so
// the current-server match reads it in place.
struct Windows1252View
{
    const char *bytes;
    qsizetype length;

    qsizetype size() const { return length; }
    QChar operator[](qsizetype i) const { return decoded(bytes[i]); }
    QString toString() const { return decodeWindows1252(bytes, length); }
};

void decodeInto(QString &out, const char *bytes, qsizetype size)
{
    out.resize(size);
    QChar *chars = out.data();
    for (qsizetype i = 0; i < size; ++i)
        chars[i] = decoded(bytes[i]);
}

} // namespace

QString decodeWindows1252(const char *bytes, qsizetype size)
{
    QString text;
    decodeInto(text, bytes, size);
    return text;
}

ServerList ServerList::parse(const QByteArray &bytes, const std::optional<CurrentServer> &current)
{
    ServerList list;
    list.m_bytes = bytes.size() > qsizetype(std::numeric_limits<quint32>::max())
        ? bytes.left(std::numeric_limits<quint32>::max())
        : bytes;
    const char *data = list.m_bytes.constData();
    const char *const end = data + list.m_bytes.size();

    // One pass to count the records, so the rows are allocated once.
    qsizetype records = 0;
    for (const char *p = data; (p = static_cast<const char *>(std::memchr(p, '\r', end - p))) && p + 1 < end; ++p)
        records += p[1] == '\n';
    list.m_rows.reserve(records);

    const char *record = data;
    for (const char *cr = data; (cr = static_cast<const char *>(std::memchr(cr, '\r', end - cr))) && cr + 1 < end;
         ++cr) {
        if (cr[1] != '\n')
            continue;
        Entry entry;
        entry.offset = quint32(record - data);
        // Every ';' ends a field; an empty record has none.
        const char *field = record;
        while (record < cr && entry.fields < 3) {
            const char *semicolon = static_cast<const char *>(std::memchr(field, ';', cr - field));
            const char *fieldEnd = semicolon ? semicolon : cr;
            const auto length = quint32(fieldEnd - field);
            if (entry.fields == 0)
                entry.hostLength = length;
            else if (entry.fields == 1)
                entry.ipLength = length;
            else
                entry.port = leadingNumber(QLatin1StringView(field, length));
            ++entry.fields;
            if (!semicolon)
                break;
            field = semicolon + 1;
        }
        if (entry.fields == 3 && current) {
            const Windows1252View ip{record + entry.hostLength + 1, entry.ipLength};
            if (entry.hostLength == 0)
                entry.current = matchesCurrentServer(QStringView(UnknownHost), ip, entry.port, *current);
            else
                entry.current = matchesCurrentServer(Windows1252View{record, entry.hostLength}, ip, entry.port,
                                                     *current);
        }
        list.m_rows.append(entry);
        cr += 1;
        record = cr + 1;
    }
    return list;
}

QString ServerList::host(qsizetype index, qsizetype maxLength) const
{
    const Entry &entry = m_rows.at(index);
    if (entry.fields == 0)
        return QString();
    if (entry.hostLength == 0)
        return UnknownHost;
    const qsizetype length = maxLength < 0 ? entry.hostLength : qMin<qsizetype>(entry.hostLength, maxLength);
    return decodeWindows1252(m_bytes.constData() + entry.offset, length);
}

QString ServerList::ip(qsizetype index, qsizetype maxLength) const
{
    const Entry &entry = m_rows.at(index);
    if (entry.fields < 2)
        return QString();
    const qsizetype length = maxLength < 0 ? entry.ipLength : qMin<qsizetype>(entry.ipLength, maxLength);
    return decodeWindows1252(m_bytes.constData() + entry.offset + entry.hostLength + 1, length);
}

std::optional<double> ServerList::port(qsizetype index) const
{
    const Entry &entry = m_rows.at(index);
    return entry.fields < 3 ? std::nullopt : std::optional<double>(entry.port);
}

ServerRow ServerList::row(qsizetype index) const
{
    return ServerRow{host(index), ip(index), port(index), isCurrent(index)};
}

QString shownCell(const QString &cell)
{
    if (cell != UnknownHost && cell != CurrentMarker)
        return cell;
    return QCoreApplication::translate("ServerList", cell.toLatin1().constData());
}

QString itemCountText(qsizetype count)
{
    return QCoreApplication::translate("ServerList", "%n items in database.", nullptr, int(count));
}
