// SPDX-License-Identifier: GPL-3.0-or-later
// The class window on a large results folder: how long its parts take, with
// the folder's files in the page cache (read once before).
//
//   first read   every record read, parsed, graded again and hashed
//                (ResultsFolder::refresh on a new folder, a new hash store)
//   poll         the next refresh with nothing new: what the window pays
//                every few seconds
//   summary      all days chosen and summed up (selectTests + summarize)
//   window       the whole window opened on the folder (reading included)
//                and shown with today's tests and their summary
//   all days     the same window switched to every day: the table of all
//                tests and the summary of all of them
// The yardstick: the bytes of all the files read with plain read(2).
//
// With --first-read, the first read alone, timed before anything else
// touches FOLDER (a mounted share: nothing of it cached yet), with the poll
// after it; then the same of REFERENCE, the same files on local disk, as
// the yardstick.
//
// With --latency, the window's worst answer while it opens on FOLDER with
// every day chosen: a timer on the window's thread ticks every 10 ms, and
// the longest gap between two ticks, from before the window is made until
// a second after the folder is read and shown, is how long a click would
// have waited. The target is 100 ms. With NEWFILE, that record is then
// copied into FOLDER and the worst answer measured again until the window
// shows it (the copy removed at the end).
//
// With --store, the first-read store's start with ROWS entries (a million
// by default) put in by SQL: the store opened (pruning included) and a
// first look-up.
//
// usage: class_bench FOLDER
//        class_bench --first-read FOLDER [REFERENCE]
//        class_bench --latency FOLDER [NEWFILE]
//        class_bench --store [ROWS]

#include "classview/class_window.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The process's CPU time, all threads, in milliseconds.
double cpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

double g_cpu = 0;

// Elapsed time since the last call; the CPU time spent meanwhile in g_cpu.
double ms(QElapsedTimer &t)
{
    const double v = double(t.nsecsElapsed()) / 1e6;
    t.restart();
    const double cpu = cpuMs();
    static double last = 0;
    g_cpu = cpu - last;
    last = cpu;
    return v;
}

double readAll(const QString &folder, qint64 &bytes)
{
    QElapsedTimer t;
    t.start();
    char buffer[65536];
    for (const QString &name : QDir(folder).entryList({QStringLiteral("*.drobi.json")}, QDir::Files)) {
        const int fd = ::open(QFile::encodeName(folder + QLatin1Char('/') + name).constData(), O_RDONLY);
        ssize_t n;
        while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
            bytes += n;
        ::close(fd);
    }
    return ms(t);
}

struct FirstRead {
    double ms = 0;
    double cpuMs = 0;
    double pollMs = 0;
    qsizetype read = 0;
    qsizetype skipped = 0;
};

// A new hash store and a new folder read for the first time, then polled.
FirstRead firstRead(const QString &folder, const QString &store)
{
    FirstRead r;
    QElapsedTimer t;
    t.start();
    ms(t);
    HashStore hashes(store);
    ResultsFolder results(folder, &hashes);
    results.refresh();
    r.ms = ms(t);
    r.cpuMs = g_cpu;
    results.refresh();
    r.pollMs = ms(t);
    r.read = results.entries().size();
    r.skipped = results.skipped().size();
    return r;
}

int firstReadOnly(const QString &folder, const QString &reference)
{
    QTemporaryDir data;
    const FirstRead first = firstRead(folder, data.filePath(QStringLiteral("first.sqlite")));
    std::printf("records: %lld read, %lld not read\n", static_cast<long long>(first.read),
                static_cast<long long>(first.skipped));
    std::printf("first read: %.0f ms (CPU %.0f ms over all threads), target <= 3000 ms %s\n",
                first.ms, first.cpuMs, first.ms <= 3000 ? "met" : "MISSED");
    std::printf("poll with nothing new: %.0f ms\n", first.pollMs);
    if (reference.isEmpty())
        return 0;
    qint64 bytes = 0;
    readAll(reference, bytes);
    const FirstRead local = firstRead(reference, data.filePath(QStringLiteral("reference.sqlite")));
    std::printf("yardstick, the same files on local disk (page cache): first read %.0f ms, poll %.0f ms; "
                "the share's first read %.1f x, its poll %.1f x\n",
                local.ms, local.pollMs, first.ms / local.ms, first.pollMs / local.pollMs);
    return 0;
}

// The longest gap between the ticks of a 10 ms timer on the window's thread.
struct TickGaps {
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 worst = 0;
    void tick()
    {
        const qint64 now = clock.elapsed();
        worst = std::max(worst, now - last);
        last = now;
    }
};

// A new record copied into the folder the window shows, and the window's
// worst answer until it has read and shown it, a second after included.
// The copy is removed again: the folder is the benchmark's own.
void newFileLatency(ClassWindow &window, TickGaps &gaps, const QString &folder, const QString &newFile)
{
    const QString target = QDir(folder).filePath(QFileInfo(newFile).fileName());
    const qsizetype before = window.shownTests().size();
    gaps.worst = 0;
    gaps.tick();
    if (!QFile::copy(newFile, target)) {
        std::fprintf(stderr, "could not copy %s into %s\n", qPrintable(newFile), qPrintable(folder));
        return;
    }
    QEventLoop loop;
    QObject::connect(&window, &ClassWindow::folderReadDone, &loop, [&] {
        if (window.shownTests().size() != before)
            loop.quit();
    });
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    loop.exec();
    QTimer::singleShot(1000, &loop, &QEventLoop::quit);
    loop.exec();
    gaps.tick();
    QFile::remove(target);
    std::printf("a new file: shown %lld tests; window's worst answer %lld ms, target <= 100 ms %s\n",
                static_cast<long long>(window.shownTests().size()), static_cast<long long>(gaps.worst),
                gaps.worst <= 100 ? "met" : "MISSED");
}

int latencyOnly(const QString &folder, const QString &newFile)
{
    QTemporaryDir data;
    HashStore hashes(data.filePath(QStringLiteral("c.sqlite")));
    TickGaps gaps;
    gaps.clock.start();
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(10);
    QObject::connect(&tick, &QTimer::timeout, [&] { gaps.tick(); });
    tick.start();
    ClassWindow window(folder, &hashes);
    window.setFilter(ClassFilter{});
    window.show();
    QEventLoop loop;
    QObject::connect(&window, &ClassWindow::folderReadDone, &loop, &QEventLoop::quit);
    loop.exec();
    const qint64 read = gaps.clock.elapsed();
    QTimer::singleShot(1000, &loop, &QEventLoop::quit);
    loop.exec();
    gaps.tick();
    std::printf("tests shown: %lld; folder read and shown after %lld ms\n",
                static_cast<long long>(window.shownTests().size()), static_cast<long long>(read));
    std::printf("window's worst answer while loading: %lld ms, target <= 100 ms %s (%.1f x the target)\n",
                static_cast<long long>(gaps.worst), gaps.worst <= 100 ? "met" : "MISSED", double(gaps.worst) / 100.0);
    if (!newFile.isEmpty())
        newFileLatency(window, gaps, folder, newFile);
    return 0;
}

int storeOnly(int rows)
{
    QTemporaryDir data;
    const QString path = data.filePath(QStringLiteral("store.sqlite"));
    { HashStore make(path); }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
        db.setDatabaseName(path);
        QSqlQuery fill(db.open() ? db : QSqlDatabase());
        // Forty folders, files 00000001.drobi.json on (no QString::arg: the SQL has its own %).
        const bool filled = fill.exec(
            QStringLiteral("INSERT INTO record_file (folder, name, sha256, pupil, class, started, grade) "
                           "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ")
            + QString::number(rows)
            + QStringLiteral(") SELECT '/srv/drobi/' || (i % 40), printf('%08d.drobi.json', i), randomblob(32), "
                             "'Ученик ' || i, '6А', '2026-12-09T10:00:00+03:00', 2 + i % 4 FROM n"));
        if (!filled) {
            std::fprintf(stderr, "could not fill the store: %s\n", qPrintable(fill.lastError().text()));
            return 1;
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
    QElapsedTimer t;
    t.start();
    HashStore store(path);
    const qint64 opened = t.elapsed();
    const auto found = store.firstReads(QStringLiteral("/srv/drobi/7"), {QStringLiteral("00000007.drobi.json")});
    const qint64 looked = t.elapsed();
    std::printf("first-read store with %d entries: opened in %lld ms, first look-up after %lld ms (%s)%s\n", rows,
                static_cast<long long>(opened), static_cast<long long>(looked), found.isEmpty() ? "not found" : "found",
                store.problem().isEmpty() ? "" : qPrintable(QStringLiteral("; problem: ") + store.problem()));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc >= 3 && std::strcmp(argv[1], "--first-read") == 0)
        return firstReadOnly(QString::fromLocal8Bit(argv[2]), argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString());
    if (argc >= 3 && std::strcmp(argv[1], "--latency") == 0)
        return latencyOnly(QString::fromLocal8Bit(argv[2]), argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString());
    if (argc >= 2 && std::strcmp(argv[1], "--store") == 0)
        return storeOnly(argc > 2 ? std::atoi(argv[2]) : 1000000);
    if (argc < 2) {
        std::fputs("usage: class_bench FOLDER\n       class_bench --first-read FOLDER [REFERENCE]\n", stderr);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir data;
    qint64 bytes = 0;
    readAll(folder, bytes);
    bytes = 0;
    const double yardstick = readAll(folder, bytes);

    QElapsedTimer t;
    t.start();
    ms(t);
    HashStore hashes(data.filePath(QStringLiteral("a.sqlite")));
    ResultsFolder results(folder, &hashes);
    results.refresh();
    const double firstRead = ms(t);
    const double firstReadCpu = g_cpu;
    results.refresh();
    const double poll = ms(t);
    const QList<ShownTest> all = selectTests(results.entries(), ClassFilter{}, false);
    const ClassSummary summary = summarize(all);
    const double summed = ms(t);

    HashStore windowHashes(data.filePath(QStringLiteral("b.sqlite")));
    t.restart();
    ClassWindow window(folder, &windowHashes);
    window.show();
    QEventLoop read;
    QObject::connect(&window, &ClassWindow::folderReadDone, &read, &QEventLoop::quit);
    read.exec();
    QCoreApplication::processEvents();
    const double opened = ms(t);
    const int today = int(window.shownTests().size());
    window.setFilter(ClassFilter{});
    QCoreApplication::processEvents();
    const double allDays = ms(t);
    const double allDaysCpu = g_cpu;

    std::printf("records: %lld read, %lld not read, %.1f MiB; today: %d\n", static_cast<long long>(results.entries().size()),
                static_cast<long long>(results.skipped().size()), double(bytes) / 1048576.0, today);
    std::printf("yardstick (read(2) of every file): %.0f ms\n", yardstick);
    std::printf("first read: %.0f ms (%.1f x the yardstick), CPU time %.0f ms over all threads\n", firstRead,
                firstRead / yardstick, firstReadCpu);
    std::printf("poll with nothing new: %.0f ms\n", poll);
    std::printf("summary of all %d graded tests: %.0f ms\n", summary.tests, summed);
    std::printf("window opened with today's tests and summary (a first read included): %.0f ms\n", opened);
    std::printf("summary shown once read: all days chosen, the table and the summary of every test: %.0f ms "
                "(CPU %.0f ms), target <= 1000 ms %s\n",
                allDays, allDaysCpu, allDays <= 1000 ? "met" : "MISSED");
    return 0;
}
