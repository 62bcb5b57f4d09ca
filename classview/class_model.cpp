// SPDX-License-Identifier: GPL-3.0-or-later
#include "classview/class_model.h"

#include "classview/class_roster.h"
#include "results/class_list.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// What «Проверка» says of a record, test or practice.
QString trustText(bool removed, bool disagrees, bool changed)
{
    if (removed)
        return QStringLiteral("удалён");
    QStringList parts;
    if (disagrees)
        parts << QStringLiteral("не сходится");
    if (changed)
        parts << QStringLiteral("изменён после первого чтения");
    return parts.isEmpty() ? QStringLiteral("сходится") : parts.join(QStringLiteral("; "));
}

QStringList trustReasons(QStringList reasons, bool removed, bool changed)
{
    if (removed)
        reasons << QStringLiteral("файл удалён после того, как был прочитан впервые");
    if (changed)
        reasons << QStringLiteral("файл изменён после того, как был прочитан впервые");
    return reasons;
}

} // namespace

QString TestEntry::checkText() const
{
    return trustText(removed, !check.problems.isEmpty() && !unreadable, changed);
}

QStringList TestEntry::checkReasons() const
{
    return trustReasons(check.problems, removed, changed);
}

QString PracticeEntry::checkText() const
{
    return trustText(removed, !check.problems.isEmpty() && !unreadable, changed);
}

QStringList PracticeEntry::checkReasons() const
{
    return trustReasons(check.problems, removed, changed);
}

ResultsFolder::ResultsFolder(const QString &path, HashStore *hashes) : m_path(path), m_hashes(hashes) {}

struct ResultsFolder::Pending {
    QString name;
    Cached state;
    // A practice's file (isPracticeFileName), read into the last two.
    bool practice = false;
    RecordRead read;
    Regrade check;
    PracticeRead practiceRead;
    PracticeRegrade practiceCheck;
};

namespace {

// What a file's entry in the folder says of it, to tell whether it changed.
bool statOf(int dirFd, const char *name, qint64 &size, qint64 &mtimeNs, quint64 &inode, quint32 &mode, quint32 &owner)
{
    struct stat info {};
    if (::fstatat(dirFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    size = info.st_size;
    mtimeNs = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    inode = info.st_ino;
    mode = info.st_mode;
    owner = info.st_uid;
    return true;
}

// A file known only by its first read: removed since, or no longer
// readable as the record it was (`problem` says why). A test's entry or a
// practice's, with its file's suffix.
template <class Entry>
std::shared_ptr<Entry> firstReadOf(const char *suffix, const QString &fileName, const HashStore::FirstRead &first,
                                   bool removed, const QString &problem)
{
    auto e = std::make_shared<Entry>();
    e->fileName = fileName;
    e->record.id = fileName.chopped(qsizetype(std::strlen(suffix)));
    e->record.pupil.name = first.pupil;
    e->record.pupil.className = first.className;
    e->record.started = first.started;
    e->record.finished = first.started;
    e->removed = removed;
    e->changed = !removed;
    e->unreadable = !removed;
    if (!removed)
        e->check.problems << QStringLiteral("файл не читается: %1").arg(problem);
    return e;
}

EntryPtr firstReadEntry(const QString &fileName, const HashStore::FirstRead &first, bool removed, const QString &problem)
{
    auto e = firstReadOf<TestEntry>(ResultSuffix, fileName, first, removed, problem);
    e->check.grade = first.grade;
    return e;
}

PracticePtr firstReadPractice(const QString &fileName, const HashStore::FirstRead &first, bool removed,
                              const QString &problem)
{
    return firstReadOf<PracticeEntry>(PracticeSuffix, fileName, first, removed, problem);
}

} // namespace

bool ResultsFolder::list(std::vector<Pending> &toRead, QSet<QString> &present)
{
    const int dirFd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR *dir = dirFd >= 0 ? ::fdopendir(dirFd) : nullptr;
    if (!dir) {
        m_folderProblem = QStringLiteral("папка %1 не открывается: %2").arg(m_path, systemReason(errno));
        if (dirFd >= 0)
            ::close(dirFd);
        return false;
    }
    m_folderProblem.clear();
    struct stat folderInfo {};
    m_folderOwner = ::fstat(dirFd, &folderInfo) == 0 ? folderInfo.st_uid : 0;
    while (const dirent *item = ::readdir(dir)) {
        const QString name = QFile::decodeName(item->d_name);
        const bool practice = isPracticeFileName(name);
        if (!practice && !isRecordFileName(name))
            continue;
        present.insert(name);
        Cached now;
        statOf(dirFd, item->d_name, now.size, now.mtimeNs, now.inode, now.mode, now.owner);
        const auto known = m_files.constFind(name);
        if (known != m_files.constEnd() && known->size == now.size && known->mtimeNs == now.mtimeNs
            && known->inode == now.inode && known->mode == now.mode && now.size >= 0)
            continue;
        toRead.push_back({name, now, practice, {}, {}, {}, {}});
    }
    ::closedir(dir);
    return true;
}

void ResultsFolder::readAll(std::vector<Pending> &toRead) const
{
    // Reading, parsing and grading again are independent for each file and
    // take most of a first read: they run on every core. The hashes and the
    // folder's state are handled on the calling thread, afterwards.
    const size_t threads = std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 8);
    // Worker t reads files t, t + threads, t + 2 * threads, ...
    const auto work = [&](size_t first) {
        for (size_t i = first; i < toRead.size(); i += threads) {
            Pending &p = toRead[i];
            const QString path = m_path + QLatin1Char('/') + p.name;
            if (p.practice) {
                p.practiceRead = readPracticeFile(path);
                if (p.practiceRead.record)
                    p.practiceCheck = regradePractice(*p.practiceRead.record);
            } else {
                p.read = readRecordFile(path);
                if (p.read.record)
                    p.check = regradeRecord(*p.read.record);
            }
        }
    };
    std::vector<std::thread> workers;
    for (size_t t = 1; t < std::min(threads, toRead.size()); ++t)
        workers.emplace_back(work, t);
    work(0);
    for (std::thread &w : workers)
        w.join();
}

// A record is read only from the file named after its id: a pupil who
// rewrites a file cannot make it another test.
void ResultsFolder::refuseMisnamed(std::vector<Pending> &read)
{
    const QString misnamed = QStringLiteral("имя файла не совпадает с номером записи внутри");
    for (Pending &p : read) {
        if (p.read.record && resultFileName(p.read.record->id) != p.name) {
            p.read.problem = misnamed;
            p.read.record.reset();
        }
        if (p.practiceRead.record && practiceFileName(p.practiceRead.record->id) != p.name) {
            p.practiceRead.problem = misnamed;
            p.practiceRead.record.reset();
        }
    }
}

// The first read of each file is kept under its folder and name; a file
// read before with other bytes is a changed record.
void ResultsFolder::keep(std::vector<Pending> &read)
{
    refuseMisnamed(read);
    QStringList names;
    for (const Pending &p : read)
        names << p.name;
    const QHash<QString, HashStore::FirstRead> firstReads =
        m_hashes ? m_hashes->firstReads(m_path, names) : QHash<QString, HashStore::FirstRead>();
    for (Pending &p : read) {
        const auto known = m_files.constFind(p.name);
        const auto first = firstReads.constFind(p.name);
        const HashStore::FirstRead *firstRead = first != firstReads.constEnd() ? &*first : nullptr;
        if (p.practice) {
            p.state.practice = practiceOf(p, firstRead, known != m_files.constEnd() ? &*known : nullptr);
        } else if (p.read.record) {
            p.state.entry = entryOf(p, firstRead, known != m_files.constEnd() ? &*known : nullptr);
        } else {
            p.state.problem = p.read.problem;
            // Read before as a record: shown as that record, changed since.
            if (firstRead)
                p.state.entry = firstReadEntry(p.name, *firstRead, false, p.read.problem);
        }
        m_files.insert(p.name, p.state);
    }
}

EntryPtr ResultsFolder::entryOf(Pending &p, const HashStore::FirstRead *first, const Cached *known)
{
    auto entry = std::make_shared<TestEntry>();
    entry->fileName = p.name;
    entry->record = std::move(*p.read.record);
    entry->check = std::move(p.check);
    entry->changed = first && first->sha256 != p.read.sha256;
    // A running record is not sealed: the final record replaces it, and the
    // seal is put on that; any change after it is flagged.
    if (m_hashes && !first && entry->record.status != ResultStatus::Running)
        m_hashes->remember(m_path, p.name,
                           {p.read.sha256, entry->record.pupil.name, entry->record.pupil.className,
                            entry->record.started, entry->check.grade});
    // A flag once raised stays: the file put back as it was is still a changed record.
    if (known && known->entry && known->entry->record.id == entry->record.id && known->entry->changed)
        entry->changed = true;
    entry->owner = account(p.state.owner);
    entry->check.problems << settingsMismatches(entry->record, m_rules);
    const QString notOwner = ownerMismatch(entry->record, {p.state.owner, m_folderOwner, quint32(::getuid())});
    if (!notOwner.isEmpty())
        entry->check.problems << notOwner;
    return entry;
}

// A practice's file, as entryOf for a test's: read, or known by its first
// read when it no longer reads (p.state.problem then says why).
PracticePtr ResultsFolder::practiceOf(Pending &p, const HashStore::FirstRead *first, const Cached *known)
{
    if (!p.practiceRead.record) {
        p.state.problem = p.practiceRead.problem;
        return first ? firstReadPractice(p.name, *first, false, p.practiceRead.problem) : nullptr;
    }
    auto entry = std::make_shared<PracticeEntry>();
    entry->fileName = p.name;
    entry->record = std::move(*p.practiceRead.record);
    entry->check = std::move(p.practiceCheck);
    entry->changed = (first && first->sha256 != p.practiceRead.sha256)
                     || (known && known->practice && known->practice->record.id == entry->record.id
                         && known->practice->changed);
    if (m_hashes && !first)
        m_hashes->remember(m_path, p.name,
                           {p.practiceRead.sha256, entry->record.pupil.name, entry->record.pupil.className,
                            entry->record.started, 0});
    ResultRecord written;
    written.pupil = entry->record.pupil;
    const QString notOwner = ownerMismatch(written, {p.state.owner, m_folderOwner, quint32(::getuid())});
    if (!notOwner.isEmpty())
        entry->check.problems << notOwner;
    return entry;
}

QString ResultsFolder::account(quint32 uid)
{
    auto it = m_accounts.constFind(uid);
    if (it == m_accounts.constEnd())
        it = m_accounts.insert(uid, accountName(uid));
    return *it;
}

bool ResultsFolder::findRemoved(const QSet<QString> &present, bool anyGone)
{
    if (!m_hashes)
        return false;
    bool changed = false;
    // The whole folder's first reads are asked for at the first read and
    // whenever a file went away; otherwise only the files that came back are dropped.
    if (!m_removedKnown || anyGone) {
        m_removedKnown = true;
        const QHash<QString, HashStore::FirstRead> all = m_hashes->allFirstReads(m_path);
        QHash<QString, HashStore::FirstRead> gone;
        for (auto it = all.constBegin(); it != all.constEnd(); ++it) {
            if (!present.contains(it.key()))
                gone.insert(it.key(), *it);
        }
        changed = gone.size() != m_removed.size() || anyGone;
        m_removed = gone;
        return changed;
    }
    for (auto it = m_removed.begin(); it != m_removed.end();) {
        if (present.contains(it.key())) {
            it = m_removed.erase(it);
            changed = true;
        } else {
            ++it;
        }
    }
    return changed;
}

bool ResultsFolder::forgetRemoved(const QSet<QString> &present)
{
    bool removed = false;
    for (auto it = m_files.begin(); it != m_files.end();) {
        if (!present.contains(it.key())) {
            it = m_files.erase(it);
            removed = true;
        } else {
            ++it;
        }
    }
    return removed;
}

bool ResultsFolder::refresh()
{
    const QString problemBefore = m_folderProblem;
    std::vector<Pending> toRead;
    QSet<QString> present;
    // What was read stays shown while the share is away.
    if (!list(toRead, present))
        return m_folderProblem != problemBefore;
    readAll(toRead);
    keep(toRead);
    const bool gone = forgetRemoved(present);
    const bool lost = findRemoved(present, gone);
    const bool changed = gone || lost || !toRead.empty() || !problemBefore.isEmpty();
    if (changed)
        rebuild();
    return changed;
}

namespace {

// A pupil on a day, as the rows of the table tell pupils apart.
QString pupilDay(const PupilIdentity &pupil, const QDate &date)
{
    return pupilNameKey(pupil.name) + QLatin1Char('\n') + pupil.className + QLatin1Char('\n')
           + date.toString(Qt::ISODate);
}

// Whether a practice and a test are the same pupil's: the name in any case
// and spacing, the class as the class list writes it, and the login when
// both say one. A practice copied from another pupil names their test.
bool samePupil(const PupilIdentity &a, const PupilIdentity &b)
{
    return pupilNameKey(a.name) == pupilNameKey(b.name)
           && normalClassName(a.className) == normalClassName(b.className)
           && (a.login.isEmpty() || b.login.isEmpty() || a.login == b.login);
}

// The test a practice follows: the one it names when it is the same
// pupil's (`otherPupil` set when not), else the same pupil's test of that
// day started last before it, else that day's first. `tests` are in the
// order they were started.
const EntryPtr *testOf(const PracticeEntry &practice, const QList<EntryPtr> &tests, const QHash<QString, qsizetype> &byId,
                       const QHash<QString, QList<qsizetype>> &byPupilDay, bool &otherPupil)
{
    if (!practice.record.test.isEmpty()) {
        const auto found = byId.constFind(practice.record.test);
        if (found == byId.constEnd())
            return nullptr;
        if (samePupil(practice.record.pupil, tests[*found]->record.pupil))
            return &tests[*found];
        otherPupil = true;
    }
    const auto day = byPupilDay.constFind(pupilDay(practice.record.pupil, practice.date()));
    if (day == byPupilDay.constEnd())
        return nullptr;
    qsizetype chosen = day->first();
    for (const qsizetype i : *day) {
        if (tests[i]->record.started <= practice.record.started)
            chosen = i;
    }
    return &tests[chosen];
}

// Why a practice goes with no test, with what «Проверка» says of it, for
// the list of files not shown with a test.
QString unattachedReason(const PracticeEntry &practice, bool otherPupil)
{
    QString reason = !practice.record.test.isEmpty() && !otherPupil
                         ? QStringLiteral("нет в папке теста, после которого она записана")
                         : QStringLiteral("нет теста этого ученика за этот день");
    if (practice.flagged())
        reason += QStringLiteral("; %1: %2")
                      .arg(practice.checkText(), practice.checkReasons().join(QStringLiteral("; ")));
    return QStringLiteral("работа над ошибками без теста: ") + reason;
}

// Each test with the practices that followed it; a test with none is kept
// as it is, shared with the folder's cache. A practice that goes with no
// test is returned, with the reason, to be listed with the files not read.
QList<SkippedFile> attachPractices(QList<EntryPtr> &tests, const QList<PracticePtr> &practices)
{
    QHash<QString, qsizetype> byId;
    QHash<QString, QList<qsizetype>> byPupilDay;
    for (qsizetype i = 0; i < tests.size(); ++i) {
        byId.insert(tests[i]->record.id, i);
        byPupilDay[pupilDay(tests[i]->record.pupil, tests[i]->date())] << i;
    }
    std::map<qsizetype, QList<PracticePtr>> attached;
    QList<SkippedFile> unattached;
    for (PracticePtr practice : practices) {
        bool otherPupil = false;
        const EntryPtr *test = testOf(*practice, tests, byId, byPupilDay, otherPupil);
        if (otherPupil) {
            auto flagged = std::make_shared<PracticeEntry>(*practice);
            flagged->check.problems << QStringLiteral("записана на тест другого ученика");
            practice = flagged;
        }
        if (test)
            attached[test - tests.constData()] << practice;
        else
            unattached << SkippedFile{practice->fileName, unattachedReason(*practice, otherPupil)};
    }
    for (auto &[i, list] : attached) {
        auto entry = std::make_shared<TestEntry>(*tests[i]);
        entry->practices = std::move(list);
        tests[i] = entry;
    }
    return unattached;
}

} // namespace

void ResultsFolder::rebuild()
{
    std::map<QString, EntryPtr> newest;
    std::map<QString, PracticePtr> newestPractice;
    std::map<QString, QString> problems;
    const auto later = [](const auto &a, const auto &b) {
        return std::make_pair(a->record.finished, a->fileName) < std::make_pair(b->record.finished, b->fileName);
    };
    for (auto it = m_files.constBegin(); it != m_files.constEnd(); ++it) {
        if (!it->problem.isEmpty())
            problems[it.key()] = it->problem;
        if (it->practice) {
            PracticePtr &slot = newestPractice[it->practice->record.id];
            if (!slot || later(slot, it->practice))
                slot = it->practice;
        }
        if (!it->entry)
            continue;
        EntryPtr &slot = newest[it->entry->record.id];
        if (!slot || later(slot, it->entry))
            slot = it->entry;
    }
    for (auto it = m_removed.constBegin(); it != m_removed.constEnd(); ++it) {
        if (isPracticeFileName(it.key())) {
            PracticePtr practice = firstReadPractice(it.key(), *it, true, QString());
            newestPractice.try_emplace(practice->record.id, practice);
            continue;
        }
        EntryPtr entry = firstReadEntry(it.key(), *it, true, QString());
        newest.try_emplace(entry->record.id, entry);
    }
    m_entries.clear();
    for (auto &[id, entry] : newest)
        m_entries << entry;
    const auto byStart = [](const auto &a, const auto &b) { return a->record.started < b->record.started; };
    std::stable_sort(m_entries.begin(), m_entries.end(), byStart);
    QList<PracticePtr> practices;
    for (auto &[id, practice] : newestPractice)
        practices << practice;
    std::stable_sort(practices.begin(), practices.end(), byStart);
    const QList<SkippedFile> unattached = attachPractices(m_entries, practices);
    m_skipped.clear();
    for (auto &[name, problem] : problems)
        m_skipped << SkippedFile{name, problem};
    m_skipped << unattached;
}

namespace {

// Drawn once per run: the projector's numbers follow it, not the names.
size_t projectorSeed()
{
    static const size_t seed = size_t(QRandomGenerator::system()->generate64());
    return seed;
}

} // namespace

QList<ShownTest> selectTests(const QList<EntryPtr> &entries, const ClassFilter &filter, bool projector)
{
    QList<ShownTest> shown;
    for (const EntryPtr &e : entries) {
        if (!filter.group.isEmpty() && e->record.pupil.className != normalClassName(filter.group))
            continue;
        if (filter.date.isValid() && e->date() != filter.date)
            continue;
        if (!filter.nameSearch.isEmpty() && !e->record.pupil.name.contains(filter.nameSearch, Qt::CaseInsensitive))
            continue;
        shown << ShownTest{e, e->record.pupil.name, 1, 1, projector};
    }
    // Several tests of one pupil (name and class) on one day, in order.
    QHash<QString, QList<int>> attempts;
    std::map<std::pair<size_t, QString>, QList<int>> pupils;
    for (int i = 0; i < shown.size(); ++i) {
        const ResultRecord &r = shown[i].entry->record;
        const QString pupil = pupilNameKey(r.pupil.name) + QLatin1Char('\n') + r.pupil.className.trimmed();
        attempts[pupil + QLatin1Char('\n') + shown[i].entry->date().toString(Qt::ISODate)] << i;
        pupils[{qHash(pupil, projectorSeed()), pupil}] << i;
    }
    // On the projector, the pupils numbered in the order of the run's keyed hash.
    int number = 0;
    for (const auto &[key, tests] : pupils) {
        ++number;
        for (const int i : tests) {
            if (projector)
                shown[i].name = QStringLiteral("Ученик %1").arg(number);
        }
    }
    for (const QList<int> &same : std::as_const(attempts)) {
        for (int n = 0; n < same.size(); ++n) {
            shown[same[n]].attempt = n + 1;
            shown[same[n]].attempts = int(same.size());
        }
    }
    return shown;
}

QStringList classesOf(const QList<EntryPtr> &entries)
{
    QSet<QString> classes;
    for (const EntryPtr &e : entries)
        classes.insert(e->record.pupil.className.trimmed());
    QStringList list(classes.begin(), classes.end());
    list.sort(Qt::CaseInsensitive);
    return list;
}

QString filterHeading(const ClassFilter &filter, qsizetype tests)
{
    return QStringLiteral("Класс: %1. Дата: %2. Тестов: %3.")
        .arg(filter.group.isEmpty() ? QStringLiteral("все") : filter.group,
             filter.date.isValid() ? filter.date.toString(QStringLiteral("dd.MM.yyyy")) : QStringLiteral("все дни"))
        .arg(tests);
}

QStringList tableHeader()
{
    QStringList header{QStringLiteral("Ученик"), QStringLiteral("Класс"),  QStringLiteral("Дата"),
                       QStringLiteral("Начало"), QStringLiteral("Минут"),  QStringLiteral("Минут на тест"),
                       QStringLiteral("Верно"),
                       QStringLiteral("Оценка"), QStringLiteral("Состояние"), QStringLiteral("Проверка"),
                       QStringLiteral("Логин"), QStringLiteral("Компьютер"), QStringLiteral("Владелец файла"),
                       QStringLiteral("Работа над ошибками")};
    for (int i = 1; i <= RowCount; ++i)
        header << QString::number(i);
    return header;
}

double minutesUsed(const ResultRecord &record)
{
    return std::round(record.secondsUsed / 6.0) / 10.0;
}

QString stateText(const ShownTest &test, const QDateTime &now)
{
    const ResultRecord &r = test.entry->record;
    if (test.entry->lost())
        return test.entry->removed ? QStringLiteral("удалён") : QStringLiteral("не прочитан");
    QString state = r.status == ResultStatus::Running      ? runningText(r, now)
                    : r.status == ResultStatus::Unfinished ? QStringLiteral("не закончен")
                    : r.timeRanOut                        ? QStringLiteral("время вышло")
                                                          : QStringLiteral("оценён");
    if (test.attempts > 1 && !test.projector)
        state += QStringLiteral(", попытка %1 из %2").arg(test.attempt).arg(test.attempts);
    return state;
}

QStringList tableRow(const ShownTest &test)
{
    const TestEntry &e = *test.entry;
    const ResultRecord &r = e.record;
    const bool graded = e.check.graded;
    const auto minutes = [](double m) { return QString::number(m, 'f', 1).replace(QLatin1Char('.'), QLatin1Char(',')); };
    // A test known only by its first read keeps the grade first read.
    const bool gradeKnown = graded || (e.lost() && e.check.grade > 0);
    // In the teacher's time zone, whatever the pupil's computer says.
    const QDateTime started = r.started.toLocalTime();
    QStringList cells{test.name,
                      r.pupil.className,
                      started.toString(QStringLiteral("dd.MM.yyyy")),
                      test.projector ? QString() : started.toString(QStringLiteral("HH:mm")),
                      e.lost() ? QString() : minutes(minutesUsed(r)),
                      e.lost() ? QString() : minutes(r.secondsAllowed / 60.0),
                      graded ? QString::number(e.check.right) : QString(),
                      gradeKnown ? QString::number(e.check.grade) : QString(),
                      stateText(test),
                      e.checkText(),
                      test.projector ? QString() : r.pupil.login,
                      test.projector ? QString() : r.pupil.host,
                      test.projector ? QString() : e.owner,
                      practiceText(e)};
    for (const RowCheck &row : e.check.rows)
        cells << (!graded ? QString() : row.right ? QStringLiteral("✓") : QStringLiteral("✗"));
    return cells;
}

QString practiceText(const TestEntry &entry)
{
    if (entry.practices.isEmpty())
        return QStringLiteral("—");
    QSet<QString> begun, mastered;
    QStringList parts;
    for (const PracticePtr &p : entry.practices) {
        for (const PracticeKindCheck &k : p->check.kinds) {
            if (k.begun())
                begun.insert(k.kind);
            if (k.checked == PracticeState::Mastered)
                mastered.insert(k.kind);
        }
    }
    if (!begun.isEmpty() || !std::all_of(entry.practices.begin(), entry.practices.end(), [](const PracticePtr &p) { return p->lost(); }))
        parts << QStringLiteral("%1 из %2 освоено").arg(mastered.size()).arg(begun.size());
    for (const PracticePtr &p : entry.practices) {
        if (p->flagged() && !parts.contains(p->checkText()))
            parts << p->checkText();
    }
    return parts.join(QStringLiteral("; "));
}

namespace {

// One pupil's mistakes by kind: the starts of the tests that made it, and
// of the practices that worked on it.
struct KindHistory {
    std::vector<QDateTime> made;
    // Made in the attempt shown, as the mistakes' table counts pupils.
    bool madeShown = false;
    std::vector<QDateTime> practised;
    bool mastered = false;
};
using PupilHistory = std::map<Mistake, KindHistory>;

void noteTest(const TestEntry &e, PupilHistory &pupil, bool shown)
{
    if (e.check.graded) {
        for (const RowCheck &row : e.check.rows) {
            if (row.right)
                continue;
            pupil[row.mistake].made.push_back(e.record.started);
            pupil[row.mistake].madeShown = pupil[row.mistake].madeShown || shown;
        }
    }
    for (const PracticePtr &p : e.practices) {
        for (const PracticeKindCheck &k : p->check.kinds) {
            if (!k.mistake || !k.begun())
                continue;
            KindHistory &kind = pupil[*k.mistake];
            kind.practised.push_back(p->record.started);
            kind.mastered = kind.mastered || k.checked == PracticeState::Mastered;
        }
    }
}

// Made in a test, worked on in a practice after it, made again in a test
// started after that practice.
bool repeated(const KindHistory &kind)
{
    if (kind.made.empty())
        return false;
    const auto made = std::minmax_element(kind.made.begin(), kind.made.end());
    const QDateTime &first = *made.first;
    const QDateTime &last = *made.second;
    return std::any_of(kind.practised.begin(), kind.practised.end(),
                       [&](const QDateTime &p) { return first <= p && p < last; });
}

QList<PracticeCount> practiceCounts(const QList<ShownTest> &tests)
{
    std::map<QString, PupilHistory> pupils;
    bool anyPractice = false;
    for (const ShownTest &t : tests) {
        const PupilIdentity &pupil = t.entry->record.pupil;
        PupilHistory &history = pupils[pupilNameKey(pupil.name) + QLatin1Char('\n') + pupil.className];
        noteTest(*t.entry, history, true);
        // The attempts the row stands for count too: a mistake made in one
        // and practised after it is the pupil's whichever attempt is shown.
        for (const EntryPtr &other : t.others)
            noteTest(*other, history, false);
        anyPractice = anyPractice || !t.entry->practices.isEmpty();
    }
    std::map<Mistake, PracticeCount> counts;
    for (const auto &[name, history] : pupils) {
        for (const auto &[kind, h] : history) {
            PracticeCount &c = counts[kind];
            c.kind = kind;
            c.made += h.madeShown ? 1 : 0;
            c.practised += h.practised.empty() ? 0 : 1;
            c.mastered += h.mastered ? 1 : 0;
            c.repeated += repeated(h) ? 1 : 0;
        }
    }
    QList<PracticeCount> list;
    for (auto &[kind, c] : counts) {
        c.title = QString::fromUtf8(MistakeTitle(kind).data(), qsizetype(MistakeTitle(kind).size()));
        if (c.made || c.practised)
            list << c;
    }
    return anyPractice ? list : QList<PracticeCount>();
}

} // namespace

// Namesakes of two classes made the same mistake: each named with the
// class, so the teacher tells them apart.
void tellNamesakesApart(MistakeCount &m, const QStringList &classes)
{
    QHash<QString, int> times;
    for (const QString &name : std::as_const(m.pupils))
        ++times[name];
    for (qsizetype i = 0; i < m.pupils.size(); ++i) {
        if (times.value(m.pupils[i]) > 1)
            m.pupils[i] += QStringLiteral(" (%1)").arg(classes[i]);
    }
}

ClassSummary summarize(const QList<ShownTest> &tests)
{
    ClassSummary s;
    int gradeSum = 0;
    std::map<Mistake, MistakeCount> mistakes;
    // Who made each mistake, to add each pupil once in constant time, and
    // their classes, beside the names.
    std::map<Mistake, QSet<QString>> who;
    std::map<Mistake, QStringList> classes;
    for (const ShownTest &t : tests) {
        const Regrade &g = t.entry->check;
        s.removed += t.entry->removed ? 1 : 0;
        s.changed += t.entry->changed ? 1 : 0;
        if (!g.graded)
            continue;
        ++s.tests;
        ++s.grades[size_t(g.grade - 2)];
        gradeSum += g.grade;
        for (int i = 0; i < RowCount; ++i) {
            const RowCheck &row = g.rows[size_t(i)];
            if (row.right) {
                ++s.rightPerRow[size_t(i)];
                continue;
            }
            MistakeCount &m = mistakes[row.mistake];
            m.kind = row.mistake;
            // Namesakes of two classes are two pupils.
            QSet<QString> &named = who[row.mistake];
            const QString key = t.name + QLatin1Char('\n') + t.entry->record.pupil.className;
            if (!named.contains(key)) {
                named.insert(key);
                m.pupils << t.name;
                classes[row.mistake] << t.entry->record.pupil.className;
            }
        }
    }
    s.meanGrade = s.tests ? double(gradeSum) / s.tests : 0.0;
    for (auto &[kind, m] : mistakes) {
        m.title = QString::fromUtf8(MistakeTitle(kind).data(), qsizetype(MistakeTitle(kind).size()));
        tellNamesakesApart(m, classes[kind]);
        s.mistakes << m;
    }
    // Most pupils first; equal counts in the diagnosis's own order.
    std::stable_sort(s.mistakes.begin(), s.mistakes.end(),
                     [](const MistakeCount &a, const MistakeCount &b) { return a.pupils.size() > b.pupils.size(); });
    s.practice = practiceCounts(tests);
    return s;
}
