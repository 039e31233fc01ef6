#pragma once

#include <QString>

#include <optional>

// The marker that a list row's status cell carries when it is the server that
// Messenger is set to use.
inline const QString CurrentMarker = QStringLiteral("(Currently Using)");

// Host name text shown for a record without a host name.
inline const QString UnknownHost = QStringLiteral("(Unknown host)");

// Where Messenger keeps the server it signs in to.
inline const QString MessengerServerValue = QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger\\Server");

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

// True when a record's host name (the empty one already shown as
// "(Unknown host)"), IP address and port number name the current server:
// texts compared lower-cased, every "(unknown host)" dropped from the host.
bool matchesCurrentServer(QStringView host, QStringView ip, double port, const CurrentServer &current);

// Composes the setting for a row: "host;ip:port", or "ip:port" when the host
// name cell is "(Unknown host)" in any case.
QString composeServerSetting(const QString &host, const QString &ip, double port);
