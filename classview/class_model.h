// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The class's tests as the results folder holds them: read incrementally
// (only new and changed files are read again, so the folder can be polled
// every few seconds), one test per id (the newest), each graded again and
// checked; then chosen by class, day and name, shown with names or, for the
// projector, as «Ученик 1», «Ученик 2», …, and summed up for the class.
//
// QtCore and Qt SQL only: the window, the exports and the command line all
// take their rows and figures from here.

#include "classview/hash_store.h"
#include "classview/practice_regrade.h"
#include "results/practice_record.h"
#include "results/result_record.h"
#include "classview/record_trust.h"
#include "classview/regrade.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <optional>
#include <vector>

// A pupil's «Работа над ошибками», read, checked and sealed as a test is.
struct PracticeEntry {
    QString fileName;
    PracticeRecord record;
    PracticeRegrade check;
    // As TestEntry's: changed since its first read, removed since, or no
    // longer readable (then known only by its first read: pupil, class, start).
    bool changed = false;
    bool removed = false;
    bool unreadable = false;

    bool flagged() const { return changed || removed || !check.problems.isEmpty(); }
    bool lost() const { return removed || unreadable; }
    QString checkText() const;
    QStringList checkReasons() const;
    QDate date() const { return record.started.toLocalTime().date(); }
};

using PracticePtr = std::shared_ptr<const PracticeEntry>;

struct TestEntry {
    QString fileName;
    ResultRecord record;
    Regrade check;
    // The file's bytes differ from those first read (HashStore).
    bool changed = false;
    // First read before and now gone, or there but no longer readable as
    // the record it was: what shows is what was first read of it (the
    // pupil, class, start and grade; check.grade with check.graded false).
    bool removed = false;
    bool unreadable = false;
    // The account owning the file, by name.
    QString owner;
    // The practices that followed this test: those naming it, and those of
    // `drobi --practice` by the same pupil that day (see ResultsFolder).
    QList<PracticePtr> practices;

    // Whether «Проверка» reads «не сходится».
    bool flagged() const { return changed || removed || !check.problems.isEmpty(); }
    // Known only by its first read.
    bool lost() const { return removed || unreadable; }
    // What «Проверка» says, and why, one line each.
    QString checkText() const;
    QStringList checkReasons() const;
    // The day of the start in the teacher's time zone.
    QDate date() const { return record.started.toLocalTime().date(); }
};

using EntryPtr = std::shared_ptr<const TestEntry>;

struct SkippedFile {
    QString fileName;
    QString problem;
};

class ResultsFolder {
public:
    // `hashes` may be null: nothing is then compared with earlier reads.
    ResultsFolder(const QString &path, HashStore *hashes);
    // The school's settings every record is compared with (record_trust.h);
    // without them, none is. Set before the first refresh.
    void setSchoolRules(const std::optional<SchoolRules> &rules) { m_rules = rules; }

    // Reads what is new or changed since the last call. Returns true when
    // the entries or the skipped files changed. It may run on another
    // thread than the one that made the hash store; the caller commits the
    // store's new hashes (HashStore::commit) afterwards, on any thread.
    bool refresh();

    const QString &path() const { return m_path; }
    // One per id, the newest (latest finished; then the file name), each
    // with its practices. A practice goes with the test it names when that
    // is the same pupil's (else it does not agree: «записана на тест другого
    // ученика»); one naming none or another pupil's goes with the same
    // pupil's (name and class) test of that day started last before it, or
    // that day's first when it came before them all; one whose test is not
    // in the folder, or of a pupil without a test that day, goes with none
    // and is listed in skipped(), with why.
    const QList<EntryPtr> &entries() const { return m_entries; }
    const QList<SkippedFile> &skipped() const { return m_skipped; }
    // Why the folder itself could not be listed; empty when it could.
    const QString &folderProblem() const { return m_folderProblem; }

private:
    struct Cached {
        qint64 size = -1;
        qint64 mtimeNs = -1;
        quint64 inode = 0;
        quint32 mode = 0;
        quint32 owner = 0;
        EntryPtr entry;
        PracticePtr practice;
        QString problem;
    };
    // A file to read, and what reading it gave.
    struct Pending;
    // Lists the folder: its record files into `present`, those new or
    // changed since the last read into `toRead`. False when the folder
    // cannot be listed (m_folderProblem says why).
    bool list(std::vector<Pending> &toRead, QSet<QString> &present);
    // Reads, parses and grades again each file, on every core.
    void readAll(std::vector<Pending> &toRead) const;
    static void refuseMisnamed(std::vector<Pending> &read);
    void keep(std::vector<Pending> &read);
    // The entry of a file read as a record, flagged as the first read and
    // the school's settings say.
    EntryPtr entryOf(Pending &p, const HashStore::FirstRead *first, const Cached *known);
    PracticePtr practiceOf(Pending &p, const HashStore::FirstRead *first, const Cached *known);
    // Finds the files first read before and now absent (m_removed); true
    // when they changed.
    bool findRemoved(const QSet<QString> &present, bool anyGone);
    QString account(quint32 uid);
    // Forgets the files no longer present; true when there were any.
    bool forgetRemoved(const QSet<QString> &present);
    void rebuild();

    QString m_path;
    HashStore *m_hashes;
    QHash<QString, Cached> m_files;
    QList<EntryPtr> m_entries;
    QList<SkippedFile> m_skipped;
    QString m_folderProblem;
    std::optional<SchoolRules> m_rules;
    quint32 m_folderOwner = 0;
    QHash<quint32, QString> m_accounts;
    // Files first read before and now absent, and whether they were looked for.
    QHash<QString, HashStore::FirstRead> m_removed;
    bool m_removedKnown = false;
};

struct ClassFilter {
    // Empty: every class.
    QString group;
    // Invalid: every day.
    QDate date;
    // Part of the pupil's name, any case; empty: everyone.
    QString nameSearch;
};

struct ShownTest {
    EntryPtr entry;
    // The pupil's name, or «Ученик N» in projector mode.
    QString name;
    // The n-th of a pupil's tests on that day, and how many there are.
    int attempt = 1;
    int attempts = 1;
    // Shown on the projector: nothing that tells pupils apart but «Ученик N»,
    // and nothing that tells who it is (login, computer, file owner).
    bool projector = false;
    // When the row stands for the pupil's day (pupil_rows.h): the other
    // attempts of that day, not shown; their practices are the entry's too.
    QList<EntryPtr> others = {};
};

// The entries the filter lets through, in the order they were started. In
// projector mode the pupils are numbered in an order drawn at random once
// per run, unrelated to their names or start times.
QList<ShownTest> selectTests(const QList<EntryPtr> &entries, const ClassFilter &filter, bool projector);

// The classes the entries hold, sorted.
QStringList classesOf(const QList<EntryPtr> &entries);

// What the filter chose, for a heading: "Класс: 6Б. Дата: 09.12.2026. Тестов: 25."
QString filterHeading(const ClassFilter &filter, qsizetype tests);

// The tests table's columns, in the window and in every export.
QStringList tableHeader();
enum class TableColumn {
    Pupil, Group, Date, Start, Minutes, Allowed, Right, Grade, State, Check, Login, Computer, Owner, Practice, FirstTask
};
// One test's cells, as text.
QStringList tableRow(const ShownTest &test);
// «Работа над ошибками» of a test: «2 из 3 освоено» (kinds mastered of the
// kinds begun, over its practices, as their tasks say), with «не сходится», «изменён после
// первого чтения» or «удалён» when a practice is flagged; «—» without one.
QString practiceText(const TestEntry &entry);
// The minutes used, to a tenth.
double minutesUsed(const ResultRecord &record);
// What the test's state is; a running one's minutes count to `now`.
QString stateText(const ShownTest &test, const QDateTime &now = QDateTime::currentDateTime());

struct MistakeCount {
    Mistake kind = Mistake::Other;
    QString title;
    // Who made it, each once, in the order of the tests.
    QStringList pupils;
};

// What became of one kind of mistake: pupils who made it in the tests
// shown, who worked on it in a practice following one of those tests,
// who mastered it there, and who made it again in a test started after
// that practice («повторили ошибку»).
struct PracticeCount {
    Mistake kind = Mistake::Other;
    QString title;
    int made = 0;
    int practised = 0;
    int mastered = 0;
    int repeated = 0;
};

struct ClassSummary {
    // Graded tests; unfinished ones are left out of every figure.
    int tests = 0;
    // How many got 2, 3, 4, 5.
    std::array<int, 4> grades{};
    double meanGrade = 0;
    // Right answers per task row.
    std::array<int, RowCount> rightPerRow{};
    // Every kind of mistake made, most pupils first.
    QList<MistakeCount> mistakes;
    // Every kind made or practised, in the diagnosis's order; empty when no
    // test shown has a practice.
    QList<PracticeCount> practice;
    // Tests first read before and now gone, or changed since.
    int removed = 0;
    int changed = 0;
};

ClassSummary summarize(const QList<ShownTest> &tests);
