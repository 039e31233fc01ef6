#pragma once

#include "MessengerSetting.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <optional>

// One row of the server list: host name, IP address, port and status cells.
struct ServerEntry
{
    QString host;
    QString ip;
    QString port;
    QString status;

    bool operator==(const ServerEntry &other) const
    {
        return host == other.host && ip == other.ip && port == other.port && status == other.status;
    }
};

// Turns the bytes of a server list file into text, one character per byte,
// read as Windows-1252 (the ANSI code page of Western Windows systems).
// Bytes that code page leaves undefined keep their own value, as Windows does.
QString decodeServerListBytes(const QByteArray &bytes);

// Cuts the text into records at every CR LF (what follows the last CR LF is
// not a record) and makes one row per record, marking the rows that match
// the current server.
QVector<ServerEntry> parseServerList(QStringView text, const std::optional<CurrentServer> &current);

// The status bar's text for a list of n rows.
QString itemCountText(qsizetype count);
