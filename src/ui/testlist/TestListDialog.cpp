// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestListDialog.h"

#include "core/ListTest.h"
#include "core/ListTestModel.h"
#include "core/ResultTable.h"
#include "ui/ServerSwitcher.h"
#include "ui/WidgetLayout.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

// Sorts on a click of a column's header as the model orders its rows, in
// either direction; the Rating column puts the best first.
class ResultOrder : public QSortFilterProxyModel
{
public:
    ResultOrder(ListTestModel *model, QObject *parent)
        : QSortFilterProxyModel(parent)
        , m_model(model)
    {
        setSourceModel(model);
    }

protected:
    // Qt sorts in descending order by asking lessThan(right, left): the
    // model's order is asked so that it comes out as the model says.
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override
    {
        if (sortOrder() == Qt::DescendingOrder)
            return m_model->comesBefore(right.row(), left.row(), left.column(), Qt::DescendingOrder);
        return m_model->comesBefore(left.row(), right.row(), left.column(), Qt::AscendingOrder);
    }

private:
    ListTestModel *m_model;
};

QPushButton *button(QWidget *parent, const char *name, const QString &text)
{
    auto *pushButton = new QPushButton(text, parent);
    pushButton->setObjectName(QLatin1String(name));
    pushButton->setAutoDefault(false);
    return pushButton;
}

} // namespace

TestListDialog::TestListDialog(Clock &clock, ProbeConnector &connector, ServerSwitcher &switcher,
                               const ServerList &list, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_switcher(switcher)
    , m_test(new ListTest(clock, connector, this))
    , m_model(new ListTestModel(*m_test, list, this))
    , m_sorted(new ResultOrder(m_model, this))
{
    setObjectName(QStringLiteral("frmTestList"));
    setWindowTitle(tr("Test List"));
    setFont(tahomaFont(8.25));

    m_resultView = new QTreeView(this);
    m_resultView->setObjectName(QStringLiteral("lvwResults"));
    m_resultView->setAccessibleName(tr("Results"));
    m_resultView->setModel(m_sorted);
    m_resultView->setRootIsDecorated(false);
    m_resultView->setItemsExpandable(false);
    m_resultView->setUniformRowHeights(true);
    m_resultView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_resultView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_resultView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_resultView->setAllColumnsShowFocus(true);
    m_resultView->setSortingEnabled(true);
    m_resultView->sortByColumn(ListTestModel::RatingColumn, Qt::AscendingOrder);
    const int widths[ListTestModel::ColumnCount] = {140, 90, 40, 70, 65, 65, 150};
    for (int column = 0; column < ListTestModel::ColumnCount; ++column)
        m_resultView->header()->resizeSection(column, widths[column]);

    m_progressBar = new QProgressBar(this);
    m_progressBar->setObjectName(QStringLiteral("prgList"));
    m_progressBar->setAccessibleName(tr("Test progress"));
    m_progressBar->setTextVisible(false);
    m_progressLabel = new QLabel(this);
    m_progressLabel->setObjectName(QStringLiteral("lblProgress"));

    m_stopButton = button(this, "cmdStop", tr("Stop"));
    m_useServerButton = button(this, "cmdUse", tr("Use this server"));
    m_copyButton = button(this, "cmdCopy", tr("Copy"));
    m_closeButton = button(this, "cmdClose", tr("Close"));

    auto *progressRow = new QHBoxLayout;
    progressRow->addWidget(m_progressBar, 1);
    progressRow->addWidget(m_progressLabel);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addWidget(m_stopButton);
    buttonRow->addWidget(m_useServerButton);
    buttonRow->addWidget(m_copyButton);
    buttonRow->addStretch(1);
    buttonRow->addWidget(m_closeButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_resultView, 1);
    layout->addLayout(progressRow);
    layout->addLayout(buttonRow);
    resize(660, 360);

    connect(m_test, &ListTest::rowTested, this, &TestListDialog::showProgress);
    connect(m_test, &ListTest::rowTested, this, &TestListDialog::updateUseButton);
    connect(m_test, &ListTest::finished, this, &TestListDialog::onFinished);
    connect(m_resultView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TestListDialog::updateUseButton);
    connect(m_resultView, &QTreeView::doubleClicked, this, &TestListDialog::onUseServerClicked);
    connect(m_stopButton, &QPushButton::clicked, this, &TestListDialog::onStopClicked);
    connect(m_useServerButton, &QPushButton::clicked, this, &TestListDialog::onUseServerClicked);
    connect(m_copyButton, &QPushButton::clicked, this, &TestListDialog::onCopyClicked);
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(&m_switcher, &ServerSwitcher::busyChanged, this, &TestListDialog::updateUseButton);
}

TestListDialog::~TestListDialog()
{
    m_test->stop();
}

void TestListDialog::start()
{
    m_model->start();
    m_stopButton->setText(m_test->isRunning() ? tr("Stop") : tr("Test Again"));
    m_progressBar->setRange(0, m_model->rowCount());
    showProgress();
    updateUseButton();
}

void TestListDialog::done(int result)
{
    m_test->stop(); // no test outlives the window
    QDialog::done(result);
}

void TestListDialog::onStopClicked()
{
    if (m_test->isRunning()) {
        m_test->stop();
        m_stopButton->setText(tr("Test Again"));
    } else {
        start();
    }
}

void TestListDialog::onFinished()
{
    m_stopButton->setText(tr("Test Again"));
}

void TestListDialog::showProgress()
{
    m_progressBar->setValue(int(m_test->testedRows()));
    m_progressLabel->setText(tr("Tested %1 of %n servers", nullptr, m_model->rowCount()).arg(m_test->testedRows()));
}

int TestListDialog::selectedRow() const
{
    // The row the user picked, not merely the one with the focus frame.
    const QModelIndexList selected = m_resultView->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : m_sorted->mapToSource(selected.constFirst()).row();
}

bool TestListDialog::canUse(int row) const
{
    // A row without an address is taken too: the switch's box says why it
    // cannot be used.
    if (row < 0)
        return false;
    return m_model->isUsable(row) || !ServerSwitcher::missingAddressText(m_model->list().row(row)).isEmpty();
}

void TestListDialog::updateUseButton()
{
    m_useServerButton->setEnabled(canUse(selectedRow()) && !m_switcher.isBusy());
}

void TestListDialog::onUseServerClicked()
{
    const int row = selectedRow();
    if (!canUse(row) || m_switcher.isBusy())
        return;
    m_switcher.switchTo(row);
    updateUseButton();
}

void TestListDialog::onCopyClicked()
{
    // The rows as the window shows them, in its order.
    QVector<int> rows;
    rows.reserve(m_sorted->rowCount());
    for (int viewRow = 0; viewRow < m_sorted->rowCount(); ++viewRow)
        rows.append(m_sorted->mapToSource(m_sorted->index(viewRow, 0)).row());
    QGuiApplication::clipboard()->setText(resultTable(*m_model, rows, TableFormat::TabSeparated));
}
