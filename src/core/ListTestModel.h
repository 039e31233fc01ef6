// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ListTest.h"
#include "ServerList.h"

#include <QAbstractTableModel>

// A test of the whole server list as a table: each row's host name, IP
// address and port, and its server's connection and response times, rating
// and reply, formatted as the single test formats them. The rows are those of
// the server list, in its order; sorting is left to a view's proxy, which
// asks comesBefore().
class ListTestModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column {
        HostColumn,
        IpColumn,
        PortColumn,
        ConnectionColumn,
        ResponseColumn,
        RatingColumn,
        ReplyColumn,
        ColumnCount
    };

    // The rows of the list, tested by the test.
    ListTestModel(ListTest &test, const ServerList &list, QObject *parent = nullptr);

    const ServerList &list() const { return m_list; }
    // Tests every row's server, anew.
    void start();

    const ListTest::Result &result(int row) const;
    // A row's server answered: it can be switched to.
    bool isUsable(int row) const;
    // True when row 'left' comes before row 'right' in the table sorted on
    // the column in that order. Ascending on the Rating column is best
    // first: servers whose reply accepts the client, by rating band, then
    // response time; then the other servers that answered, likewise; then
    // those that did not. In either order a row without a value in the
    // column (an untested one, a failed one's times) comes last, and ties
    // keep the list's order.
    bool comesBefore(int left, int right, int column, Qt::SortOrder order) const;
    // Every row, best first.
    QVector<int> bestFirst() const;
    // A cell's text, whole (the view shows long names shortened).
    QString text(int row, int column) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    bool hasValue(int row, int column) const;
    // -1, 0 or 1 for two rows that both have a value in the column.
    int compare(int left, int right, int column) const;
    void onRowTested(int row);

    ListTest &m_test;
    ServerList m_list;
};
