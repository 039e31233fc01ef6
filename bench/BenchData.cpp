// SPDX-License-Identifier: GPL-3.0-or-later
#include "BenchData.h"

#include <QFile>

#include <cstdio>
#include <cstring>

namespace BenchData {

namespace {

// "host;ip;port" of record index, without the line end; the host name may be
// left out (the record then starts with ';').
int formatRecord(char *buffer, std::size_t size, int index, bool withHost, const char *port)
{
    char host[64] = "";
    if (withHost)
        std::snprintf(host, sizeof host, "msgr-ns%d.messenger.example.net", index);
    return std::snprintf(buffer, size, "%s;10.%d.%d.%d;%s", host, (index >> 16) & 0xff, (index >> 8) & 0xff,
                         index & 0xff, port);
}

} // namespace

QByteArray serverList(int count)
{
    QByteArray bytes;
    bytes.reserve(qsizetype(count) * 48);
    char record[128];
    for (int index = 0; index < count; ++index) {
        // One record in sixteen has no host name; one in sixty-four a port with blanks.
        const int length = formatRecord(record, sizeof record, index, index % 16 != 7,
                                        index % 64 == 9 ? " 18 63" : "1863");
        bytes.append(record, length);
        bytes.append("\r\n", 2);
    }
    return bytes;
}

QString currentServerSetting(int index)
{
    char record[128];
    formatRecord(record, sizeof record, index, true, "1863");
    // "host;ip;port" becomes the setting's "host;ip:port".
    QString setting = QString::fromLatin1(record);
    setting[setting.lastIndexOf(QLatin1Char(';'))] = QLatin1Char(':');
    return setting;
}

bool writeServerList(const QString &directory, const QString &name, int count)
{
    QFile file(directory + QLatin1Char('/') + name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray bytes = serverList(count);
    return file.write(bytes) == bytes.size() && file.flush();
}

} // namespace BenchData
