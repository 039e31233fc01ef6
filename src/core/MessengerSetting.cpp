// SPDX-License-Identifier: GPL-3.0-or-later
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

QString MatchDetail::hostWithoutUnknown(const QString &host)
{
    QString lowered = host.toLower();
    lowered.remove(QStringLiteral("(unknown host)"));
    return lowered;
}

QString composeServerSetting(const QString &host, const QString &ip, double port)
{
    QString value = ip + QLatin1Char(':') + numberText(port);
    if (host.toLower() != QLatin1String("(unknown host)"))
        value = host + QLatin1Char(';') + value;
    return value;
}
