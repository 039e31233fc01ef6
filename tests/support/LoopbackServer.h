// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#ifdef Q_OS_WIN
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif

// A Messenger server on 127.0.0.1 (or ::1) that behaves as told with every
// connection, and records what it sees: connections made, those open now,
// bytes received.
class LoopbackServer : public QObject
{
public:
    enum class Behaviour {
        Silent, // accepts and never answers
        Answer, // answers the probe line with the reply, up to its first CR and the rest a moment later
        Close, // once the probe line came, sends the reply (if any) and closes
        Refuse, // its port is taken, but nobody listens there
    };

    explicit LoopbackServer(Behaviour behaviour, const QByteArray &reply = "VER 2 MSNP10\r\n",
                            const QHostAddress &address = QHostAddress::LocalHost)
    {
        if (behaviour == Behaviour::Refuse) {
            // Bound and never listening: no other program can take the port
            // and answer in the meantime, as one could a port just closed.
            QVERIFY(boundOnly.bind(address, 0));
            port = boundOnly.localPort();
            return;
        }
        QVERIFY(server.listen(address));
        port = server.serverPort();
        connect(&server, &QTcpServer::newConnection, this, [this, behaviour, reply] {
            ++connections;
            QTcpSocket *socket = server.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, this, [this, socket, behaviour, reply] {
                received += socket->readAll();
                if (received.size() < 25)
                    return;
                if (behaviour == Behaviour::Close) {
                    socket->write(reply);
                    socket->disconnectFromHost();
                } else if (behaviour == Behaviour::Answer) {
                    // The client must put the line together from two reads, its CR and LF apart.
                    const qsizetype firstPiece = reply.indexOf('\r') + 1;
                    socket->write(reply.left(firstPiece));
                    socket->flush();
                    QTimer::singleShot(1, socket, [socket, rest = reply.mid(firstPiece)] { socket->write(rest); });
                }
            });
        });
    }

    // The connections that the client has not closed, looked up in the
    // system rather than in the socket's state, which follows on a later turn
    // of the event loop. Accepted sockets are the server's children.
    int openNow() const
    {
        int count = 0;
        for (const QTcpSocket *socket : server.findChildren<QTcpSocket *>()) {
            char byte = 0;
            if (socket->state() == QAbstractSocket::ConnectedState
                && ::recv(socket->socketDescriptor(), &byte, 1, MSG_PEEK) != 0)
                ++count;
        }
        return count;
    }

    QTcpServer server;
    QTcpSocket boundOnly;
    quint16 port = 0;
    int connections = 0;
    QByteArray received;
};
