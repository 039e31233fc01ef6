// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

// The marker that a list row's status cell carries when it is the server that
// Messenger is set to use.
inline const QString CurrentMarker = QStringLiteral(QT_TRANSLATE_NOOP("ServerList", "(Currently Using)"));

// Host name text shown for a record without a host name.
inline const QString UnknownHost = QStringLiteral(QT_TRANSLATE_NOOP("ServerList", "(Unknown host)"));

// Where Messenger keeps the server it signs in to.
inline const QString MessengerServerValue = QStringLiteral(
    "HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger\\Server");

// The server named by Messenger's setting: host name and IP address
// lower-cased for matching, and the port's number.
struct CurrentServer
{
    QString host;
    QString ip;
    double port = 0;
};

// Parses a setting such as "myhost;10.0.0.1:1863" or "10.0.0.1:1863". ':' and
// ';' both separate parts. Fewer than two parts give no server (incomplete).
std::optional<CurrentServer> parseCurrentServer(const QString &setting);

namespace MatchDetail {

// True when the text, lower-cased, equals an already lower-cased one. Text is
// any sequence of characters with size() and operator[] giving a QChar, so a
// record's bytes can be compared in place, without a copy.
template<typename Text>
bool equalsLowered(const Text &text, QStringView lowered)
{
    if (text.size() != lowered.size())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (QChar(text[i]).toLower() != lowered[i])
            return false;
    }
    return true;
}

// The text as a QString, from a QString itself or from any text with toString().
inline QString textOf(const QString &text)
{
    return text;
}
template<typename Text>
QString textOf(const Text &text)
{
    return text.toString();
}

// The host name lower-cased with every "(unknown host)" removed.
QString hostWithoutUnknown(const QString &host);

} // namespace MatchDetail

// True when a record's host name (the empty one already shown as
// "(Unknown host)"), IP address and port number name the current server:
// texts compared lower-cased, every "(unknown host)" dropped from the host.
// Host and IP are QStrings, QStringViews or any text as
// MatchDetail::equalsLowered takes it, with toString() for the rare host
// name that holds a "(".
template<typename HostText, typename IpText>
bool matchesCurrentServer(const HostText &host, const IpText &ip, double port, const CurrentServer &current)
{
    if (port != current.port || !MatchDetail::equalsLowered(ip, current.ip))
        return false;
    for (qsizetype i = 0; i < host.size(); ++i) {
        if (QChar(host[i]) == QLatin1Char('('))
            return MatchDetail::hostWithoutUnknown(MatchDetail::textOf(host)) == current.host;
    }
    return MatchDetail::equalsLowered(host, current.host);
}

// Composes the setting for a row: "host;ip:port", or "ip:port" when the host
// name cell is "(Unknown host)" in any case.
QString composeServerSetting(const QString &host, const QString &ip, double port);
