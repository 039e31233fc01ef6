// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "MessengerSetting.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <optional>

// One row of the server list as the user sees it: host name ("(Unknown host)"
// for an empty first field), IP address, port number and whether it is the
// server Messenger uses. A record that lacks a field has no value for it.
struct ServerRow
{
    QString host;
    QString ip;
    std::optional<double> port;
    bool current = false;
};

// The server list file's records. The file's bytes are kept once; each row
// holds only where its fields lie, its port's number and its current flag, so
// a long list loads without one allocation per cell. Bytes are read as
// Windows-1252, the ANSI code page of Western Windows systems; the bytes that
// code page leaves undefined keep their own value, as Windows does.
//
// Records end at every CR LF; what follows the last CR LF is not a record.
// Fields are cut at ';': host name, IP address, port; later fields are ignored.
class ServerList
{
public:
    ServerList() = default;
    // Cuts the bytes into rows and marks those that match the current server.
    // Bytes beyond 4 GiB are not read (the caller limits the file's size).
    static ServerList parse(const QByteArray &bytes, const std::optional<CurrentServer> &current);

    qsizetype size() const { return m_rows.size(); }
    ServerRow row(qsizetype index) const;
    // The host name and IP address; with a maxLength, at most that many
    // characters of them (for display, without decoding a huge field whole).
    QString host(qsizetype index, qsizetype maxLength = -1) const;
    QString ip(qsizetype index, qsizetype maxLength = -1) const;
    std::optional<double> port(qsizetype index) const;
    bool isCurrent(qsizetype index) const { return m_rows.at(index).current; }
    void setCurrent(qsizetype index, bool current) { m_rows[index].current = current; }

private:
    struct Entry
    {
        quint32 offset = 0; // of the record in m_bytes
        quint32 hostLength = 0;
        quint32 ipLength = 0;
        quint8 fields = 0; // 0 to 3
        bool current = false;
        double port = 0;
    };

    QByteArray m_bytes;
    QVector<Entry> m_rows;
};

// Turns Windows-1252 bytes into text.
QString decodeWindows1252(const char *bytes, qsizetype size);

// A cell as the user reads it: the markers CurrentMarker and UnknownHost,
// which the cells hold in English, in the user's language.
QString shownCell(const QString &cell);

// The status bar's text for a list of n rows, in the user's language.
QString itemCountText(qsizetype count);
