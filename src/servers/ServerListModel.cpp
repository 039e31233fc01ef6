#include "ServerListModel.h"

ServerListModel::ServerListModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void ServerListModel::setRows(QVector<ServerEntry> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void ServerListModel::setStatus(int index, const QString &status)
{
    if (index < 0 || index >= m_rows.size() || m_rows.at(index).status == status)
        return;
    m_rows[index].status = status;
    const QModelIndex cell = this->index(index, StatusColumn);
    Q_EMIT dataChanged(cell, cell, {Qt::DisplayRole, Qt::AccessibleTextRole});
}

QStringList ServerListModel::statuses() const
{
    QStringList result;
    result.reserve(m_rows.size());
    for (const ServerEntry &entry : m_rows)
        result.append(entry.status);
    return result;
}

void ServerListModel::setStatuses(const QStringList &statuses)
{
    for (int index = 0; index < statuses.size(); ++index)
        setStatus(index, statuses.at(index));
}

int ServerListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ServerListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ServerListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return QVariant();
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return QVariant();
    const ServerEntry &entry = m_rows.at(index.row());
    switch (index.column()) {
    case HostColumn:
        return entry.host;
    case IpColumn:
        return entry.ip;
    case PortColumn:
        return entry.port;
    case StatusColumn:
        return entry.status;
    }
    return QVariant();
}

QVariant ServerListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return QVariant();
    static const char *const headers[ColumnCount] = {"Host Name", "Host IP", "Port", ""};
    if (role == Qt::DisplayRole)
        return QString::fromLatin1(headers[section]);
    if (role == Qt::AccessibleTextRole)
        return section == StatusColumn ? QStringLiteral("Status") : QString::fromLatin1(headers[section]);
    return QVariant();
}

Qt::ItemFlags ServerListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}
