// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#ifdef Q_OS_WIN
#include <winsock2.h>
#include <windows.h>
#else
#include <sys/socket.h>
#endif

// True under Wine, whose Winsock (measured with Wine 8.0) reports a reset of
// a connection that has been made as an orderly close: FD_CLOSE without an
// error, then a read of 0 bytes. Windows itself gives WSAECONNRESET.
inline bool wineReportsResetsAsCloses()
{
#ifdef Q_OS_WIN
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
#else
    return false;
#endif
}

// A Messenger server on 127.0.0.1 (or ::1) that behaves as told with every
// connection, and records what it sees: connections made, those open now,
// bytes received.
class LoopbackServer : public QObject
{
public:
    enum class Behaviour {
        Silent, // accepts and never answers
        Answer, // answers the probe line with the reply
        AnswerInTwoPieces, // the same, up to the first CR and the rest a moment later
        AnswerThenClose, // answers at once, then closes
        Greet, // sends the reply as soon as it accepts
        Close, // closes at once
        ResetAfterProbe, // resets once the probe line came
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
                if (behaviour == Behaviour::ResetAfterProbe)
                    reset(socket);
                else if (behaviour == Behaviour::AnswerInTwoPieces)
                    writeInTwoPieces(socket, reply);
                else if (behaviour == Behaviour::Answer || behaviour == Behaviour::AnswerThenClose)
                    socket->write(reply);
                if (behaviour == Behaviour::AnswerThenClose)
                    socket->disconnectFromHost();
            });
            if (behaviour == Behaviour::Greet)
                socket->write(reply);
            else if (behaviour == Behaviour::Close)
                socket->disconnectFromHost();
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

    // Closes with SO_LINGER 0: the peer gets a reset.
    static void reset(QTcpSocket *socket)
    {
        const linger abortive{1, 0};
        ::setsockopt(socket->socketDescriptor(), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char *>(&abortive),
                     sizeof abortive);
        socket->abort();
    }

    // The client must put the line together from two reads, its CR and LF apart.
    static void writeInTwoPieces(QTcpSocket *socket, const QByteArray &bytes)
    {
        const qsizetype firstPiece = bytes.indexOf('\r') + 1;
        socket->write(bytes.left(firstPiece));
        socket->flush();
        QTimer::singleShot(1, socket, [socket, rest = bytes.mid(firstPiece)] { socket->write(rest); });
    }

    QTcpServer server;
    QTcpSocket boundOnly;
    quint16 port = 0;
    int connections = 0;
    QByteArray received;
};
