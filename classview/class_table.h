// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The class window's tests table: one row per shown test, the cells of
// tableRow(), sortable by any column (by the value behind it, not the text),
// ✓ and ✗ in colour with words for screen readers, «не сходится» marked
// with its reasons, Enter opening a test as a double click does, and no
// column wider than MaxColumnPixels, however long a name a pupil typed.

#include "classview/class_model.h"

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>

#include <functional>

class QTableView;

class TestsModel : public QAbstractTableModel {
public:
    // The role holding a row's index in the shown tests, whatever the sorting.
    static constexpr int TestIndexRole = Qt::UserRole + 1;

    using QAbstractTableModel::QAbstractTableModel;

    // `tests` stays owned by the caller and lives until the next reset.
    void reset(const QList<ShownTest> *tests);
    // The same with each test's tableRow() made already (shown_view.h).
    // Returns the cells shown before, for the caller to free where it
    // costs the window nothing.
    QList<QStringList> reset(const QList<ShownTest> *tests, QList<QStringList> cells);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    QVariant sortValue(const TestEntry &e, int row, int column) const;

    const QStringList m_header = tableHeader();
    const QList<ShownTest> *m_tests = nullptr;
    QList<QStringList> m_cells;
};

// The tests table's sorting. By «Ученик» the rows keep the model's own
// order (they come sorted by surname), compared by their place alone: a
// new read of tens of thousands of tests is ordered without asking the
// model for a value of each.
class SortedTests : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;
};

// The widest a column of the table grows to fit its text.
inline constexpr int MaxColumnPixels = 300;
// The first rows a column is fitted to, beside the widest (shown_view.h).
inline constexpr int FittedRows = 100;

// The table over `sorted` (which sorts `model`), newest first; `open` is
// called with a row's index on a double click or Enter.
QTableView *makeTestsTable(QSortFilterProxyModel *sorted, std::function<void(const QModelIndex &)> open);
// Columns as wide as their text in the first FittedRows rows and in
// `widestRows` (rows of the model under the table's sorting), none wider
// than MaxColumnPixels.
void fitColumns(QTableView *table, const QList<int> &widestRows = {});
