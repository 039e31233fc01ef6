// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QHostAddress;

// The probe's one TCP connection, made and read with the system's own socket
// calls, so that a reset is told from an orderly close and a connection that
// fails is never tried again behind the probe's back. Its events come from
// the event loop, never from inside a call.
class ProbeConnection : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Sends bytes on the open connection; false and the system's words when
    // they did not all go out.
    virtual bool send(const QByteArray &bytes, QString *error) = 0;
    // Drops the connection at once; no signal follows.
    virtual void abort() = 0;

    // A failure's description as the user reads it. Connections describe
    // the usual failures in English, which programs read too, and these
    // show translated; the system's own words show as they are.
    static QString shownDescription(const QString &description) { return tr(description.toUtf8().constData()); }

Q_SIGNALS:
    void connected();
    // Data arrived: what one read took, at most a few KiB.
    void received(const QByteArray &data);
    // The server closed the connection in order.
    void closed();
    // The connection could not be made, was reset, or failed otherwise; the
    // connection is gone.
    void failed(const QString &description);
};

// Opens probe connections.
class ProbeConnector
{
public:
    virtual ~ProbeConnector() = default;
    // Starts connecting to the address and port; the connection, a child of
    // parent, reports connected() or failed() later.
    virtual ProbeConnection *connectTo(const QHostAddress &address, quint16 port, QObject *parent) = 0;
};
