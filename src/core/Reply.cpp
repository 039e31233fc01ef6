// SPDX-License-Identifier: GPL-3.0-or-later
#include "Reply.h"

#include "ProbeConnection.h"
#include "ServerProbe.h"

#include <QCoreApplication>
#include <QList>

#include <algorithm>

namespace {

// The transaction id of the probe line "VER 2 MSNP10 MSNP9 CVR0": a line
// that answers it carries the same id.
constexpr char ProbeTransactionId[] = "2";

bool isErrorCode(const QByteArray &word)
{
    return word.size() == 3 && std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

Reply Reply::fromLine(const QByteArray &line)
{
    Reply reply;
    reply.kind = Kind::NotMessenger;
    const QList<QByteArray> words = line.split(' ');
    // Only a line with our transaction id answers our line; any other (a
    // banner, "500 Internal Server Error", "VER 7 MSNP10") answers something else.
    if (words.size() < 2 || words.at(1) != ProbeTransactionId)
        return reply;
    if (words.first() == "VER") {
        // The versions follow the transaction id; the highest of the two
        // that the probe offers wins.
        const QList<QByteArray> versions = words.mid(2);
        if (versions.contains("MSNP10"))
            reply.kind = Kind::Msnp10;
        else if (versions.contains("MSNP9"))
            reply.kind = Kind::Msnp9;
        else
            reply.kind = Kind::NoCommonVersion;
    } else if (isErrorCode(words.first())) {
        reply.kind = Kind::ErrorCode;
        reply.errorCode = words.first().toInt();
    }
    return reply;
}

Reply Reply::fromResult(const ProbeResult &result)
{
    Reply reply;
    switch (result.end) {
    case ProbeResult::End::Replied:
        // A line that never ended (too long, cut off by a close or the time
        // limit) is no protocol line, and a server that spoke before our line
        // went out did not answer it.
        if (result.lineComplete && !result.spokeFirst)
            return fromLine(result.replyLine);
        reply.kind = Kind::NotMessenger;
        break;
    case ProbeResult::End::Closed: reply.kind = Kind::ClosedWithoutReply; break;
    case ProbeResult::End::TimedOut: reply.kind = Kind::NoReply; break;
    case ProbeResult::End::Failed:
        reply.kind = Kind::ConnectionError;
        reply.error = result.error;
        break;
    }
    return reply;
}

QString Reply::text() const
{
    switch (kind) {
    case Kind::Msnp10: return QStringLiteral("MSNP10");
    case Kind::Msnp9: return QStringLiteral("MSNP9");
    case Kind::NoCommonVersion: return QStringLiteral(QT_TRANSLATE_NOOP("Reply", "No common version"));
    case Kind::ErrorCode: return QStringLiteral("Error %1").arg(errorCode, 3, 10, QLatin1Char('0'));
    case Kind::NotMessenger: return QStringLiteral(QT_TRANSLATE_NOOP("Reply", "Not a Messenger server"));
    case Kind::ClosedWithoutReply: return QStringLiteral(QT_TRANSLATE_NOOP("Reply", "Closed without reply"));
    case Kind::NoReply: return QStringLiteral(QT_TRANSLATE_NOOP("Reply", "No reply"));
    case Kind::ConnectionError: return QStringLiteral("Error (") + error + QLatin1Char(')');
    }
    return QString();
}

QString Reply::shownText() const
{
    switch (kind) {
    case Kind::ErrorCode:
        return QCoreApplication::translate("Reply", "Error %1").arg(errorCode, 3, 10, QLatin1Char('0'));
    case Kind::ConnectionError:
        return QCoreApplication::translate("Reply", "Error (%1)").arg(ProbeConnection::shownDescription(error));
    default: return QCoreApplication::translate("Reply", text().toLatin1().constData());
    }
}
