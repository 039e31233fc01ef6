#include "TestListDialog.h"

#include "core/ListTest.h"
#include "core/ListTestModel.h"
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

// Sorts on a click of a column's header as the model orders its rows; the
// Rating column puts the best first.
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
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override
    {
        return m_model->lessThan(left.row(), right.row(), left.column());
    }

private:
    ListTestModel *m_model;
};

// A cell as one field of a tab-separated line.
QString tabField(QString text)
{
    for (QChar &c : text) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
    }
    return text;
}

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
    setWindowTitle(QStringLiteral("Test List"));
    setFont(tahomaFont(8.25));

    lvwResults = new QTreeView(this);
    lvwResults->setObjectName(QStringLiteral("lvwResults"));
    lvwResults->setAccessibleName(QStringLiteral("Results"));
    lvwResults->setModel(m_sorted);
    lvwResults->setRootIsDecorated(false);
    lvwResults->setItemsExpandable(false);
    lvwResults->setUniformRowHeights(true);
    lvwResults->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvwResults->setSelectionMode(QAbstractItemView::SingleSelection);
    lvwResults->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvwResults->setAllColumnsShowFocus(true);
    lvwResults->setSortingEnabled(true);
    lvwResults->sortByColumn(ListTestModel::RatingColumn, Qt::AscendingOrder);
    const int widths[ListTestModel::ColumnCount] = {140, 90, 40, 70, 65, 65, 150};
    for (int column = 0; column < ListTestModel::ColumnCount; ++column)
        lvwResults->header()->resizeSection(column, widths[column]);

    prg = new QProgressBar(this);
    prg->setObjectName(QStringLiteral("prgList"));
    prg->setAccessibleName(QStringLiteral("Test progress"));
    prg->setTextVisible(false);
    lblProgress = new QLabel(this);
    lblProgress->setObjectName(QStringLiteral("lblProgress"));

    cmdStop = button(this, "cmdStop", QStringLiteral("Stop"));
    cmdUse = button(this, "cmdUse", QStringLiteral("Use this server"));
    cmdCopy = button(this, "cmdCopy", QStringLiteral("Copy"));
    cmdClose = button(this, "cmdClose", QStringLiteral("Close"));

    auto *progressRow = new QHBoxLayout;
    progressRow->addWidget(prg, 1);
    progressRow->addWidget(lblProgress);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addWidget(cmdStop);
    buttonRow->addWidget(cmdUse);
    buttonRow->addWidget(cmdCopy);
    buttonRow->addStretch(1);
    buttonRow->addWidget(cmdClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lvwResults, 1);
    layout->addLayout(progressRow);
    layout->addLayout(buttonRow);
    resize(660, 360);

    connect(m_test, &ListTest::rowTested, this, &TestListDialog::showProgress);
    connect(m_test, &ListTest::rowTested, this, &TestListDialog::updateUseButton);
    connect(m_test, &ListTest::finished, this, &TestListDialog::onFinished);
    connect(lvwResults->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TestListDialog::updateUseButton);
    connect(lvwResults, &QTreeView::doubleClicked, this, &TestListDialog::onUseServerClicked);
    connect(cmdStop, &QPushButton::clicked, this, &TestListDialog::onStopClicked);
    connect(cmdUse, &QPushButton::clicked, this, &TestListDialog::onUseServerClicked);
    connect(cmdCopy, &QPushButton::clicked, this, &TestListDialog::onCopyClicked);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(&m_switcher, &ServerSwitcher::busyChanged, this, &TestListDialog::updateUseButton);
}

TestListDialog::~TestListDialog()
{
    m_test->stop();
}

void TestListDialog::start()
{
    m_model->start();
    cmdStop->setText(m_test->isRunning() ? QStringLiteral("Stop") : QStringLiteral("Test Again"));
    prg->setRange(0, m_model->rowCount());
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
        cmdStop->setText(QStringLiteral("Test Again"));
    } else {
        start();
    }
}

void TestListDialog::onFinished()
{
    cmdStop->setText(QStringLiteral("Test Again"));
}

void TestListDialog::showProgress()
{
    prg->setValue(int(m_test->testedRows()));
    lblProgress->setText(
        QStringLiteral("Tested %1 of %2 servers").arg(m_test->testedRows()).arg(m_model->rowCount()));
}

int TestListDialog::selectedRow() const
{
    // The row the user picked, not merely the one with the focus frame.
    const QModelIndexList selected = lvwResults->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : m_sorted->mapToSource(selected.constFirst()).row();
}

void TestListDialog::updateUseButton()
{
    cmdUse->setEnabled(m_model->isUsable(selectedRow()) && !m_switcher.isBusy());
}

void TestListDialog::onUseServerClicked()
{
    const int row = selectedRow();
    if (!m_model->isUsable(row) || m_switcher.isBusy())
        return;
    m_switcher.switchTo(row);
    updateUseButton();
}

void TestListDialog::onCopyClicked()
{
    QStringList lines;
    QStringList cells;
    for (int column = 0; column < ListTestModel::ColumnCount; ++column)
        cells.append(m_model->headerData(column, Qt::Horizontal).toString());
    lines.append(cells.join(QLatin1Char('\t')));
    for (int viewRow = 0; viewRow < m_sorted->rowCount(); ++viewRow) {
        const int row = m_sorted->mapToSource(m_sorted->index(viewRow, 0)).row();
        cells.clear();
        for (int column = 0; column < ListTestModel::ColumnCount; ++column)
            cells.append(tabField(m_model->text(row, column)));
        lines.append(cells.join(QLatin1Char('\t')));
    }
    QGuiApplication::clipboard()->setText(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}
