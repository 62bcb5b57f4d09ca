// SPDX-License-Identifier: GPL-3.0-or-later
#include "classview/class_table.h"

#include <QColor>
#include <QHeaderView>
#include <QKeyEvent>
#include <QSortFilterProxyModel>
#include <QTableView>

#include <algorithm>
#include <utility>

namespace {

constexpr int SortRole = Qt::UserRole;

// Opens the pupil's test on Enter as on a double-click.
class EnterOpens : public QObject {
public:
    EnterOpens(QTableView *table, std::function<void(const QModelIndex &)> open)
        : QObject(table), m_table(table), m_open(std::move(open))
    {
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_table->currentIndex().isValid()) {
                m_open(m_table->currentIndex());
                return true;
            }
        }
        return false;
    }

private:
    QTableView *m_table;
    std::function<void(const QModelIndex &)> m_open;
};

// The task a column shows, or -1.
int taskOf(int column)
{
    return column >= int(TableColumn::FirstTask) ? column - int(TableColumn::FirstTask) : -1;
}

QVariant alignment(int column)
{
    if ((column >= int(TableColumn::Minutes) && column <= int(TableColumn::Grade)) || column >= int(TableColumn::FirstTask))
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
}

// The verdict of a task's cell in colour and, for screen readers, in words.
QVariant verdict(const TestEntry &e, int task, int role)
{
    if (task < 0 || !e.check.graded)
        return {};
    const bool right = e.check.rows[size_t(task)].right;
    if (role == Qt::ForegroundRole)
        return right ? QColor(0, 100, 0) : QColor(140, 0, 0);
    return QStringLiteral("задание %1: %2").arg(task + 1).arg(right ? QStringLiteral("верно") : QStringLiteral("неверно"));
}

// «Проверка» of a record that does not agree: marked, its reasons on
// hovering. Not on the projector: the reasons name logins, owners and files.
QVariant checkMark(const ShownTest &test, int column, int role)
{
    if (column != int(TableColumn::Check) || !test.entry->flagged())
        return {};
    if (role == Qt::BackgroundRole)
        return QColor(0xf8, 0xd0, 0xcc);
    if (test.projector)
        return {};
    return test.entry->checkReasons().join(QLatin1Char('\n'));
}

} // namespace

void TestsModel::reset(const QList<ShownTest> *tests)
{
    beginResetModel();
    m_tests = tests;
    m_cells.clear();
    m_cells.reserve(tests->size());
    for (const ShownTest &t : *tests)
        m_cells << tableRow(t);
    endResetModel();
}

QList<QStringList> TestsModel::reset(const QList<ShownTest> *tests, QList<QStringList> cells)
{
    beginResetModel();
    m_tests = tests;
    std::swap(m_cells, cells);
    endResetModel();
    return cells;
}

int TestsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_cells.size());
}

int TestsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_header.size());
}

QVariant TestsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < m_header.size())
        return m_header[section];
    return {};
}

QVariant TestsModel::sortValue(const TestEntry &e, int row, int column) const
{
    const int task = taskOf(column);
    switch (TableColumn(std::min(column, int(TableColumn::FirstTask)))) {
    // The rows come sorted by surname in Russian order.
    case TableColumn::Pupil: return row;
    // On the projector the start is not shown, and the order tells it no more.
    case TableColumn::Date:
    case TableColumn::Start: return (*m_tests)[row].projector ? QVariant(row) : QVariant(e.record.started.toSecsSinceEpoch());
    case TableColumn::Minutes: return e.record.secondsUsed;
    case TableColumn::Allowed: return e.record.secondsAllowed;
    case TableColumn::Right: return e.check.graded ? e.check.right : -1;
    case TableColumn::Grade: return e.check.grade;
    case TableColumn::FirstTask: return e.check.graded ? int(e.check.rows[size_t(task)].right) : -1;
    default: return m_cells[row][column];
    }
}

QVariant TestsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_cells.size())
        return {};
    const int row = index.row();
    const int column = index.column();
    const TestEntry &e = *(*m_tests)[row].entry;
    switch (role) {
    case Qt::DisplayRole: return m_cells[row][column];
    case TestIndexRole: return row;
    case SortRole: return sortValue(e, row, column);
    case Qt::TextAlignmentRole: return alignment(column);
    case Qt::ForegroundRole: return verdict(e, taskOf(column), role);
    case Qt::AccessibleTextRole: {
        // A screen reader speaks a cell with its column's name: «Оценка: 5»,
        // «задание 3: неверно».
        const QVariant task = verdict(e, taskOf(column), role);
        return task.isValid() ? task : QVariant(m_header[column] + QStringLiteral(": ") + m_cells[row][column]);
    }
    case Qt::BackgroundRole:
    case Qt::ToolTipRole: return checkMark((*m_tests)[row], column, role);
    default: return {};
    }
}

QTableView *makeTestsTable(QSortFilterProxyModel *sorted, std::function<void(const QModelIndex &)> open)
{
    sorted->setSortRole(SortRole);
    auto *table = new QTableView;
    table->setObjectName(QStringLiteral("tests"));
    table->setAccessibleName(QStringLiteral("Тесты"));
    table->setModel(sorted);
    table->setSortingEnabled(true);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setTabKeyNavigation(false);
    table->verticalHeader()->hide();
    table->setAlternatingRowColors(true);
    // A long name is cut short with "…"; the pupil's test shows it whole.
    table->setTextElideMode(Qt::ElideRight);
    // By surname, as the rows come (pupil_rows.h), until a header is clicked.
    table->sortByColumn(int(TableColumn::Pupil), Qt::AscendingOrder);
    table->installEventFilter(new EnterOpens(table, open));
    QObject::connect(table, &QTableView::activated, table, std::move(open));
    return table;
}

bool SortedTests::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    if (left.column() == int(TableColumn::Pupil))
        return left.row() < right.row();
    return QSortFilterProxyModel::lessThan(left, right);
}

void fitColumns(QTableView *table, const QList<int> &widestRows)
{
    // Measuring every row's text takes long with tens of thousands of rows;
    // the first rows (those seen first) and those with the longest texts
    // stand for them all.
    const QAbstractItemModel *model = table->model();
    const auto *sorted = qobject_cast<const QAbstractProxyModel *>(model);
    QList<int> rows;
    for (int r = 0; r < std::min(model->rowCount(), FittedRows); ++r)
        rows << r;
    for (const int source : widestRows) {
        const int r = sorted ? sorted->mapFromSource(sorted->sourceModel()->index(source, 0)).row() : source;
        if (r >= FittedRows)
            rows << r;
    }
    // As QTableView::resizeColumnToContents: the text, the grid line, or the header if wider.
    const int grid = table->showGrid() ? 1 : 0;
    for (int c = 0; c < model->columnCount(); ++c) {
        int width = table->horizontalHeader()->sectionSizeHint(c);
        for (const int r : std::as_const(rows))
            width = std::max(width, table->sizeHintForIndex(model->index(r, c)).width() + grid);
        table->setColumnWidth(c, std::min(width, MaxColumnPixels));
    }
}
