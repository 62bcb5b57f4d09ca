// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The class window's tests table: one row per shown test, the cells of
// tableRow(), sortable by any column (by the value behind it, not the text),
// ✓ and ✗ in colour with words for screen readers, «не сходится» marked
// with its reasons, Enter opening a test as a double click does, and no
// column wider than MaxColumnPixels, however long a name a pupil typed.

#include "classview/class_model.h"

#include <QAbstractTableModel>

#include <functional>

class QSortFilterProxyModel;
class QTableView;

class TestsModel : public QAbstractTableModel {
public:
    // The role holding a row's index in the shown tests, whatever the sorting.
    static constexpr int TestIndexRole = Qt::UserRole + 1;

    using QAbstractTableModel::QAbstractTableModel;

    // `tests` stays owned by the caller and lives until the next reset.
    void reset(const QList<ShownTest> *tests);
    // The same with each test's tableRow() made already (shown_view.h).
    void reset(const QList<ShownTest> *tests, QList<QStringList> cells);

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

// The widest a column of the table grows to fit its text.
inline constexpr int MaxColumnPixels = 300;

// The table over `sorted` (which sorts `model`), newest first; `open` is
// called with a row's index on a double click or Enter.
QTableView *makeTestsTable(QSortFilterProxyModel *sorted, std::function<void(const QModelIndex &)> open);
// Columns as wide as their text, none wider than MaxColumnPixels.
void fitColumns(QTableView *table);
