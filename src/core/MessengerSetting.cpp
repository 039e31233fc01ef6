#include "MessengerSetting.h"

#include "Numbers.h"

#include <QStringList>

std::optional<CurrentServer> parseCurrentServer(const QString &setting)
{
    if (setting.isEmpty())
        return std::nullopt;
    QString text = setting;
    text.replace(QLatin1Char(':'), QLatin1Char(';'));
    const QStringList parts = text.split(QLatin1Char(';'));
    if (parts.size() == 2)
        return CurrentServer{QString(), parts.at(0).toLower(), leadingNumber(parts.at(1))};
    if (parts.size() >= 3)
        return CurrentServer{parts.at(0).toLower(), parts.at(1).toLower(), leadingNumber(parts.at(2))};
    return std::nullopt;
}

namespace {

// True when the text, lower-cased, equals an already lower-cased one; no copy.
bool equalsLowered(QStringView text, QStringView lowered)
{
    if (text.size() != lowered.size())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].toLower() != lowered[i])
            return false;
    }
    return true;
}

} // namespace

bool matchesCurrentServer(QStringView host, QStringView ip, double port, const CurrentServer &current)
{
    if (port != current.port || !equalsLowered(ip, current.ip))
        return false;
    if (!host.contains(QLatin1Char('(')))
        return equalsLowered(host, current.host);
    QString lowered = host.toString().toLower();
    lowered.remove(QStringLiteral("(unknown host)"));
    return lowered == current.host;
}

QString composeServerSetting(const QString &host, const QString &ip, double port)
{
    QString value = ip + QLatin1Char(':') + numberText(port);
    if (host.toLower() != QLatin1String("(unknown host)"))
        value = host + QLatin1Char(';') + value;
    return value;
}
