// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The teacher's class window: the tests of the results folder, read again
// every few seconds (F5 at once), filtered by class, day and name; a
// pupil's test with its verdicts, explanations and worked solutions; the
// class summary with charts and tables; projector mode (names hidden); and
// the exports (CSV, XLSX, PDF). What it shows is drawn by class_table.h,
// pupil_test_view.h and class_summary_view.h; this unit holds them
// together, reads the folder and keeps the filter.

#include "classview/class_model.h"
#include "classview/pupil_rows.h"
#include "classview/shown_view.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QModelIndex;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;
class QTabWidget;
class QThread;
class QTimer;
class RosterView;
class SummaryView;
struct ClassList;
class TestsModel;

class ClassWindow : public QMainWindow {
    Q_OBJECT

public:
    // How often the folder is read again.
    static constexpr int PollMilliseconds = 3000;

    // `rules`: the school's settings each record is compared with, if any.
    ClassWindow(const QString &folder, HashStore *hashes, QWidget *parent = nullptr,
                const std::optional<SchoolRules> &rules = std::nullopt);
    ~ClassWindow() override;

    // The tests shown now, in the table's order of reading (started first).
    const QList<ShownTest> &shownTests() const { return m_shown; }
    QTableView *testsTable() const { return m_table; }
    void setProjectorMode(bool on);
    void setFilter(const ClassFilter &filter);
    // The school's class lists, for the class list tab.
    void setClassList(const ClassList &list);
    // Which of a pupil's tests of a day is the pupil's row.
    void setAttemptChoice(AttemptChoice choice);

public Q_SLOTS:
    // Reads the folder now (on a thread of its own; folderReadDone follows).
    void refresh();

Q_SIGNALS:
    void folderReadDone();

private:
    // The window built in steps.
    void setupMenu();
    QHBoxLayout *setupFilterBar();
    void setupTabs();
    void setupStatusBar();
    void connectFilters();

    // On the reading thread: the folder read, then what the window shows
    // made ready for the filter of the read's start.
    void readFolder(ClassFilter filter, bool projector, AttemptChoice attempt, bool firstRead);
    void folderRead();
    // On the first read: from an empty today to the last day with tests.
    void openOnLastDay();
    void showFolder();
    void showTests();
    // The view prepared with the last read if it is for the filter now, else made now.
    ShownView viewNow();
    // The selected test's id, and the row that holds it after a reload.
    QString selectedId() const;
    void selectTest(const QString &id);
    void showStatus();
    void openPupil(const QModelIndex &index);
    void showSkipped();
    // `pupilPages`: a .pdf of a page per pupil.
    void exportTo(const QString &suffix, bool pupilPages = false);
    // Whether to save at `path`: asked when it lies in the results folder.
    bool confirmSaveAt(const QString &path);
    ClassFilter currentFilter() const;
    QString heading() const;

    // Only the reading thread touches m_folder while it runs; the window
    // shows its copies of what the last read found.
    ResultsFolder m_folder;
    HashStore *m_hashes;
    QThread *m_worker = nullptr;
    bool m_readChanged = false;
    // Made by the reading thread for the filter of its start, when the
    // read changed anything (shown_view.h); handed to m_prepared once it ended.
    std::optional<ShownView> m_readView;
    std::optional<ShownView> m_prepared;
    // Also made by the reading thread: the classes of the entries, and on
    // the first read the day to open on (openOnLastDay()).
    QStringList m_readClasses;
    QDate m_readOpenDay;
    // What the window showed before, freed by the next reading thread:
    // freeing tens of thousands of rows' cells would hold the window.
    QList<ShownView> m_discard;
    bool m_readAgain = false;
    // Whether the first read has chosen the day shown.
    bool m_dayChosen = false;
    QList<EntryPtr> m_entries;
    QList<SkippedFile> m_skippedFiles;
    QString m_folderProblem;
    QList<ShownTest> m_shown;
    bool m_projector = false;

    QComboBox *m_group = nullptr;
    QDateEdit *m_date = nullptr;
    QCheckBox *m_allDays = nullptr;
    QComboBox *m_attempt = nullptr;
    QLineEdit *m_search = nullptr;
    QCheckBox *m_projectorBox = nullptr;
    QAction *m_projectorAction = nullptr;
    QPushButton *m_skipped = nullptr;
    QTabWidget *m_tabs = nullptr;
    QTableView *m_table = nullptr;
    TestsModel *m_model = nullptr;
    QSortFilterProxyModel *m_sorted = nullptr;
    SummaryView *m_summary = nullptr;
    RosterView *m_roster = nullptr;
    QLabel *m_status = nullptr;
    QTimer *m_poll = nullptr;
};
