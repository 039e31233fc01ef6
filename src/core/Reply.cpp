#include "Reply.h"

#include "ProbeConnection.h"
#include "ServerProbe.h"

#include <QCoreApplication>
#include <QList>

#include <algorithm>

namespace {

bool isErrorCode(const QByteArray &word)
{
    return word.size() == 3 && std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

Reply Reply::fromLine(const QByteArray &line)
{
    Reply reply;
    const QList<QByteArray> words = line.split(' ');
    if (words.first() == "VER" && words.size() >= 2) {
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
    } else {
        reply.kind = Kind::NotMessenger;
    }
    return reply;
}

Reply Reply::fromResult(const ProbeResult &result)
{
    Reply reply;
    switch (result.end) {
    case ProbeResult::End::Replied:
        // A line that never ended (too long, cut off by a close or the time
        // limit) is no protocol line.
        if (result.lineComplete)
            return fromLine(result.replyLine);
        reply.kind = Kind::NotMessenger;
        break;
    case ProbeResult::End::Closed:
        reply.kind = Kind::ClosedWithoutReply;
        break;
    case ProbeResult::End::TimedOut:
        reply.kind = Kind::NoReply;
        break;
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
