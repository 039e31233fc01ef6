#pragma once

#include "ServerList.h"

#include <QAbstractTableModel>
#include <QVector>

// The rows of the server list: host name, IP address, port and status
// columns. The model is the only copy of the rows; the main window, the switch
// and the server test read the cells back from it.
class ServerListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { HostColumn, IpColumn, PortColumn, StatusColumn, ColumnCount };

    explicit ServerListModel(QObject *parent = nullptr);

    void setRows(QVector<ServerEntry> rows);
    const ServerEntry &row(int index) const { return m_rows.at(index); }
    // Sets one row's status cell (empty or the current marker).
    void setStatus(int index, const QString &status);
    // Every row's status cell, in row order, and the way back.
    QStringList statuses() const;
    void setStatuses(const QStringList &statuses);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    QVector<ServerEntry> m_rows;
};
