// SPDX-License-Identifier: GPL-3.0-or-later
#include "ServerListModel.h"

#include "Numbers.h"

ServerListModel::ServerListModel(QObject *parent)
    : QAbstractTableModel(parent)
{ }

void ServerListModel::setList(ServerList list)
{
    beginResetModel();
    m_list = std::move(list);
    endResetModel();
}

void ServerListModel::setCurrent(int index, bool current)
{
    if (m_list.isCurrent(index) == current)
        return;
    m_list.setCurrent(index, current);
    const QModelIndex cell = this->index(index, StatusColumn);
    Q_EMIT dataChanged(cell, cell, {Qt::DisplayRole, Qt::AccessibleTextRole});
}

void ServerListModel::setCurrentRow(int index)
{
    for (int n = 0; n < rowCount(); ++n)
        setCurrent(n, n == index);
}

QVector<bool> ServerListModel::currentFlags() const
{
    QVector<bool> flags(m_list.size());
    for (int n = 0; n < rowCount(); ++n)
        flags[n] = m_list.isCurrent(n);
    return flags;
}

void ServerListModel::setCurrentFlags(const QVector<bool> &flags)
{
    for (int n = 0; n < rowCount() && n < flags.size(); ++n)
        setCurrent(n, flags.at(n));
}

QString ServerListModel::displayed(const QString &text)
{
    if (text.size() <= DisplayLimit)
        return text;
    return text.left(DisplayLimit - 3) + QStringLiteral("...");
}

int ServerListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_list.size());
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
    QString text;
    switch (index.column()) {
    case HostColumn: text = shownCell(m_list.host(index.row(), DisplayLimit + 1)); break;
    case IpColumn: text = m_list.ip(index.row(), DisplayLimit + 1); break;
    case PortColumn:
        if (const auto port = m_list.port(index.row()))
            text = numberText(*port);
        break;
    case StatusColumn:
        if (m_list.isCurrent(index.row()))
            text = shownCell(CurrentMarker);
        break;
    }
    return displayed(text);
}

QVariant ServerListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return QVariant();
    static const char *const headers[ColumnCount] = {QT_TR_NOOP("Host Name"), QT_TR_NOOP("Host IP"), QT_TR_NOOP("Port"),
                                                     ""};
    if (role == Qt::DisplayRole)
        return section == StatusColumn ? QString() : tr(headers[section]);
    if (role == Qt::AccessibleTextRole)
        return section == StatusColumn ? tr("Status") : tr(headers[section]);
    return QVariant();
}

Qt::ItemFlags ServerListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}
