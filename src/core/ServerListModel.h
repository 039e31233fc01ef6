// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ServerList.h"

#include <QAbstractTableModel>

// The server list shown as a table: host name, IP address, port and status
// columns. The model holds the only copy of the rows and formats them: the
// port's number as text, the current flag as "(Currently Using)". Very long
// fields are shortened on screen; row() gives them whole.
class ServerListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { HostColumn, IpColumn, PortColumn, StatusColumn, ColumnCount };

    // The most characters a cell shows; a longer text is cut and ends in "...".
    static constexpr qsizetype DisplayLimit = 256;

    explicit ServerListModel(QObject *parent = nullptr);

    void setList(ServerList list);
    const ServerList &list() const { return m_list; }
    ServerRow row(int index) const { return m_list.row(index); }

    // Marks exactly the given row as current (-1: none).
    void setCurrentRow(int index);
    // Every row's current flag, and the way back.
    QVector<bool> currentFlags() const;
    void setCurrentFlags(const QVector<bool> &flags);

    // A text as shown on screen: at most DisplayLimit characters.
    static QString displayed(const QString &text);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    void setCurrent(int index, bool current);

    ServerList m_list;
};
