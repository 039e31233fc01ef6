#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The marker that a list row's status cell carries when it is the server that
// Messenger is set to use.
inline const QString CurrentMarker = QStringLiteral("(Currently Using)");

// Host name text shown for a record without a host name.
inline const QString UnknownHost = QStringLiteral("(Unknown host)");

// Where Messenger keeps the server it signs in to.
inline const QString MessengerServerValue = QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger\\Server");

// The server named by Messenger's setting, as three texts.
struct CurrentServer
{
    QString host;
    QString ip;
    QString port;
};

// Parses a setting such as "myhost;10.0.0.1:1863" or "10.0.0.1:1863". ':' and
// ';' both separate parts. Fewer than two parts give no server (incomplete).
std::optional<CurrentServer> parseCurrentServer(const QString &setting);

// True when a record's fields (the empty host name already replaced by
// "(Unknown host)") name the current server: host name and IP address compared
// lower-cased, ports compared as numbers. Records of fewer than three fields
// and an incomplete server match nothing.
bool matchesCurrentServer(const QStringList &fields, const std::optional<CurrentServer> &current);

// Composes the setting for a row: "host;ip:port", or "ip:port" when the host
// name cell is "(Unknown host)" in any case.
QString composeServerSetting(const QString &hostCell, const QString &ipCell, const QString &portCell);
