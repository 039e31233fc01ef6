// SPDX-License-Identifier: GPL-3.0-or-later
#include "ListTestModel.h"

#include "Numbers.h"
#include "Rating.h"
#include "ServerListModel.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <tuple>

namespace {

// The rating of a row's times; a time that is missing counts as 0, so that
// a reply that came before the connection was reported still rates.
Rating ratingOf(const ListTest::Result &result)
{
    return rateTest(result.connectionSeconds.value_or(0), result.responseSeconds.value_or(0));
}

// The place of a tested row in the best-first order: its group, then its
// rating band and times.
std::tuple<int, int, double, double> bestFirstKey(const ListTest::Result &result)
{
    constexpr double Missing = std::numeric_limits<double>::infinity();
    int group = 2;
    if (result.reply.acceptsClient())
        group = 0;
    else if (result.responseSeconds)
        group = 1;
    if (!result.responseSeconds)
        return {group, 0, Missing, result.connectionSeconds.value_or(Missing)};
    const Rating rating = ratingOf(result);
    return {group, rating.band, rating.response, rating.connection};
}

template<typename T>
int compareValues(const T &left, const T &right)
{
    if (left < right)
        return -1;
    return right < left ? 1 : 0;
}

} // namespace

ListTestModel::ListTestModel(ListTest &test, const ServerList &list, QObject *parent)
    : QAbstractTableModel(parent)
    , m_test(test)
    , m_list(list)
{
    connect(&m_test, &ListTest::rowTested, this, &ListTestModel::onRowTested);
}

void ListTestModel::start()
{
    QVector<std::pair<QString, std::optional<double>>> servers;
    servers.reserve(m_list.size());
    for (qsizetype row = 0; row < m_list.size(); ++row)
        servers.append({m_list.ip(row), m_list.port(row)});
    beginResetModel();
    m_test.start(servers);
    endResetModel();
}

const ListTest::Result &ListTestModel::result(int row) const
{
    static const ListTest::Result untested;
    return row < m_test.rowCount() ? m_test.result(row) : untested;
}

bool ListTestModel::isUsable(int row) const
{
    return row >= 0 && row < rowCount() && result(row).tested && result(row).responseSeconds.has_value();
}

bool ListTestModel::hasValue(int row, int column) const
{
    const ListTest::Result &outcome = result(row);
    switch (column) {
    case HostColumn: return true;
    case IpColumn: return !m_list.ip(row).isEmpty();
    case PortColumn: return m_list.port(row).has_value();
    case ConnectionColumn: return outcome.tested && outcome.connectionSeconds;
    case ResponseColumn: return outcome.tested && outcome.responseSeconds;
    default: return outcome.tested;
    }
}

int ListTestModel::compare(int left, int right, int column) const
{
    const ListTest::Result &a = result(left);
    const ListTest::Result &b = result(right);
    switch (column) {
    case PortColumn: return compareValues(*m_list.port(left), *m_list.port(right));
    case ConnectionColumn: return compareValues(*a.connectionSeconds, *b.connectionSeconds);
    case ResponseColumn: return compareValues(*a.responseSeconds, *b.responseSeconds);
    case RatingColumn: return compareValues(bestFirstKey(a), bestFirstKey(b));
    case ReplyColumn: // in the order the user reads them
        return a.reply.shownText().compare(b.reply.shownText(), Qt::CaseInsensitive);
    default: return text(left, column).compare(text(right, column), Qt::CaseInsensitive);
    }
}

bool ListTestModel::comesBefore(int left, int right, int column, Qt::SortOrder order) const
{
    const bool leftHasValue = hasValue(left, column);
    if (leftHasValue != hasValue(right, column))
        return leftHasValue;
    int compared = leftHasValue ? compare(left, right, column) : 0;
    if (order == Qt::DescendingOrder)
        compared = -compared;
    return compared != 0 ? compared < 0 : left < right;
}

QVector<int> ListTestModel::bestFirst() const
{
    QVector<int> rows(rowCount());
    std::iota(rows.begin(), rows.end(), 0);
    std::sort(rows.begin(), rows.end(),
              [this](int left, int right) { return comesBefore(left, right, RatingColumn, Qt::AscendingOrder); });
    return rows;
}

QString ListTestModel::text(int row, int column) const
{
    const ListTest::Result &outcome = result(row);
    switch (column) {
    case HostColumn: return m_list.host(row);
    case IpColumn: return m_list.ip(row);
    case PortColumn: return m_list.port(row) ? numberText(*m_list.port(row)) : QString();
    default: break;
    }
    if (!outcome.tested)
        return QString();
    const Rating rating = ratingOf(outcome);
    switch (column) {
    case ConnectionColumn: return outcome.connectionSeconds ? floatText(rating.connection) : QString();
    case ResponseColumn: return outcome.responseSeconds ? floatText(rating.response) : QString();
    case RatingColumn: return outcome.responseSeconds ? rating.verdict : QString();
    case ReplyColumn: return outcome.reply.text();
    }
    return QString();
}

int ListTestModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_list.size());
}

int ListTestModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ListTestModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return QVariant();
    const int column = index.column();
    if (role == Qt::TextAlignmentRole) {
        const bool number = column == PortColumn || column == ConnectionColumn || column == ResponseColumn;
        return QVariant::fromValue(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    }
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return QVariant();
    // Names and addresses are decoded only as far as they are shown.
    if (column == HostColumn)
        return ServerListModel::displayed(shownCell(m_list.host(index.row(), ServerListModel::DisplayLimit + 1)));
    if (column == IpColumn)
        return ServerListModel::displayed(m_list.ip(index.row(), ServerListModel::DisplayLimit + 1));
    // The rating and the reply in the user's language; text() keeps them
    // English for the programs that read them.
    const ListTest::Result &outcome = result(index.row());
    if (column == RatingColumn && outcome.tested && outcome.responseSeconds)
        return shownVerdict(rateTest(outcome.connectionSeconds.value_or(0), *outcome.responseSeconds));
    if (column == ReplyColumn && outcome.tested)
        return outcome.reply.shownText();
    return text(index.row(), column);
}

QVariant ListTestModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return QVariant();
    static const char *const headers[ColumnCount] = {
        QT_TR_NOOP("Host Name"), QT_TR_NOOP("Host IP"), QT_TR_NOOP("Port"), QT_TR_NOOP("Connection"),
        QT_TR_NOOP("Response"),  QT_TR_NOOP("Rating"),  QT_TR_NOOP("Reply")};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return tr(headers[section]);
    if (role == Qt::ToolTipRole && (section == ConnectionColumn || section == ResponseColumn))
        return tr("Seconds, cut to hundredths");
    return QVariant();
}

Qt::ItemFlags ListTestModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

void ListTestModel::onRowTested(int row)
{
    Q_EMIT dataChanged(index(row, ConnectionColumn), index(row, ReplyColumn));
}
