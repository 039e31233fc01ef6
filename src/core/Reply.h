// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

struct ProbeResult;

// What a server's answer to the probe line says about the client, as the
// Reply column shows it. A Messenger server answers "VER 2 MSNP10 MSNP9 CVR0"
// with its own VER line, with the same transaction id, naming the versions it
// shares ("VER 2 MSNP10", or "VER 2 0" when it shares none), or with an
// error: a three-digit code and the transaction id ("715 2"). Every other
// line, and whatever a server says before our line goes out, reads "Not a
// Messenger server".
struct Reply
{
    enum class Kind {
        Msnp10,
        Msnp9,
        NoCommonVersion,
        ErrorCode,
        NotMessenger,
        ClosedWithoutReply,
        NoReply,
        ConnectionError,
    };

    Kind kind = Kind::NoReply;
    int errorCode = 0; // ErrorCode: the server's code
    QString error; // ConnectionError: the system's words

    // The reply of a complete first line (without its CR LF).
    static Reply fromLine(const QByteArray &line);
    // The reply of an ended probe that read the first line.
    static Reply fromResult(const ProbeResult &result);

    // "MSNP10", "No common version", "Error 715", "Error (Connection refused)", ...
    QString text() const;
    // The same in the user's language, as the windows show it; text() stays
    // English for the programs that read it.
    QString shownText() const;
    // The server speaks a version that the clients which read the Server
    // setting (Messenger 5.0 to 6.2) speak: MSNP9 or MSNP10.
    bool acceptsClient() const { return kind == Kind::Msnp10 || kind == Kind::Msnp9; }
};
