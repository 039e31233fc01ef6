#include "MessengerSetting.h"

#include "Numbers.h"

std::optional<CurrentServer> parseCurrentServer(const QString &setting)
{
    if (setting.isEmpty())
        return std::nullopt;
    QString text = setting;
    text.replace(QLatin1Char(':'), QLatin1Char(';'));
    const QStringList parts = text.split(QLatin1Char(';'));
    if (parts.size() == 2)
        return CurrentServer{QString(), parts.at(0), parts.at(1)};
    if (parts.size() >= 3)
        return CurrentServer{parts.at(0), parts.at(1), parts.at(2)};
    return std::nullopt;
}

bool matchesCurrentServer(const QStringList &fields, const std::optional<CurrentServer> &current)
{
    if (!current || fields.size() < 3)
        return false;
    QString host = fields.at(0).toLower();
    host.remove(QStringLiteral("(unknown host)"));
    return host == current->host.toLower()
        && fields.at(1).toLower() == current->ip.toLower()
        && LeadingNumber(fields.at(2)) == LeadingNumber(current->port);
}

QString composeServerSetting(const QString &hostCell, const QString &ipCell, const QString &portCell)
{
    QString value = ipCell + QLatin1Char(':') + NumberText(LeadingNumber(portCell));
    if (hostCell.toLower() != QLatin1String("(unknown host)"))
        value = hostCell + QLatin1Char(';') + value;
    return value;
}
