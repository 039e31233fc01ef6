// Fuzzes Messenger's server setting: parsing a setting, matching a record
// against it, and composing the setting for a list row.
//
// Input: the setting, a line feed, then one record of the server list
// (host;ip;port). Without a line feed the whole input is the setting.
//
// The row is the one the server list gives for the record. Its composed
// setting parses back to the row's own host name (none for "(Unknown host)"),
// IP address and port cell, and matches the row, as long as neither host name
// nor IP address holds ':' or ';'. The host name test removes every
// "(unknown host)" from a record's host name, so a host name that holds it
// beside other text does not match its own setting; that case is left out of
// the match check.

#include "FuzzCheck.h"

#include "servers/MessengerSetting.h"
#include "servers/Numbers.h"
#include "servers/ServerList.h"

#include <QLocale>

#include <cstdint>

namespace {

bool holdsSeparator(const QString &text)
{
    return text.contains(QLatin1Char(':')) || text.contains(QLatin1Char(';'));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    QLocale::setDefault(QLocale::c());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString input = decodeServerListBytes(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    const qsizetype lineFeed = input.indexOf(QLatin1Char('\n'));
    const QString setting = lineFeed < 0 ? input : input.left(lineFeed);
    const QString record = lineFeed < 0 ? QString() : input.mid(lineFeed + 1);

    // Parse: two or more parts give a server whose texts hold no separator.
    const std::optional<CurrentServer> current = parseCurrentServer(setting);
    const bool hasSeparator = holdsSeparator(setting);
    FUZZ_CHECK(current.has_value() == hasSeparator, setting);
    if (current) {
        FUZZ_CHECK(!holdsSeparator(current->host) && !holdsSeparator(current->ip) && !holdsSeparator(current->port), setting);
        // Composing the parsed server and parsing again gives the same server,
        // its port as printed (the port is printed with 15 digits).
        const QString again = composeServerSetting(current->host.isEmpty() ? UnknownHost : current->host, current->ip, current->port);
        const std::optional<CurrentServer> reparsed = parseCurrentServer(again);
        FUZZ_CHECK(reparsed && reparsed->ip == current->ip, again);
        FUZZ_CHECK(reparsed->port == NumberText(LeadingNumber(current->port)), again);
        if (current->host.toLower() != QLatin1String("(unknown host)"))
            FUZZ_CHECK(reparsed->host == current->host, again);
    }

    // Match: never without a complete server and three fields.
    const QStringList fields = record.split(QLatin1Char(';'));
    if (matchesCurrentServer(fields, current))
        FUZZ_CHECK(current && fields.size() >= 3, record);

    // Compose the row that the record gives and read the setting back.
    const QVector<ServerEntry> rows = parseServerList(QString(record + QStringLiteral("\r\n")), std::nullopt);
    if (rows.size() != 1)
        return 0; // the record held a CR LF of its own
    const ServerEntry &row = rows.first();
    const QString composed = composeServerSetting(row.host, row.ip, row.port);
    if (holdsSeparator(row.host) || holdsSeparator(row.ip))
        return 0;
    const std::optional<CurrentServer> back = parseCurrentServer(composed);
    FUZZ_CHECK(back.has_value(), composed);
    const bool unknownHost = row.host.toLower() == QLatin1String("(unknown host)");
    FUZZ_CHECK(back->host == (unknownHost ? QString() : row.host), composed);
    FUZZ_CHECK(back->ip == row.ip, composed);
    FUZZ_CHECK(back->port == NumberText(LeadingNumber(row.port)), composed);
    // A row with a port cell reads its own port back unchanged.
    if (!row.port.isEmpty()) {
        FUZZ_CHECK(back->port == row.port, composed + QStringLiteral(" for the port cell ") + row.port);
        if (unknownHost || !row.host.toLower().contains(QLatin1String("(unknown host)"))) {
            FUZZ_CHECK(matchesCurrentServer({row.host, row.ip, row.port}, back), composed);
            // The record itself matches whenever its port reads as the cell does.
            const QStringList recordFields = record.split(QLatin1Char(';'));
            QStringList shown = recordFields;
            if (shown.first().isEmpty())
                shown.first() = UnknownHost;
            if (LeadingNumber(recordFields.at(2)) == LeadingNumber(row.port))
                FUZZ_CHECK(matchesCurrentServer(shown, back), composed);
        }
    }
    return 0;
}
