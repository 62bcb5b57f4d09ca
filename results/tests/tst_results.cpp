// SPDX-License-Identifier: GPL-3.0-or-later
// A pupil's name made safe, the record's JSON, its delivery into a local
// folder and the courier's retries. The school's settings: tst_settings.

#include "results/delivery.h"
#include "results/practice_record.h"
#include "results/result_record.h"
#include "results/results_courier.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScopeGuard>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>
#include <QTimer>
#include <dlfcn.h>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Run once, on the delivery's thread, right after a record's file has been
// renamed into the folder and before it is read back: the moment a share
// could change it, or a second «Готово!» store a newer copy.
std::function<void(int dir, const char *name)> g_afterRename;

} // namespace

// Delivery renames the temporary file into place with renameat: taking it
// here, in the test program, lets a test act in that moment.
extern "C" int renameat(int fromDir, const char *from, int toDir, const char *to)
{
    using Renameat = int (*)(int, const char *, int, const char *);
    static const auto real = reinterpret_cast<Renameat>(dlsym(RTLD_NEXT, "renameat"));
    const int result = real(fromDir, from, toDir, to);
    if (result == 0 && g_afterRename && QByteArray(to).endsWith(".drobi.json"))
        std::exchange(g_afterRename, nullptr)(toDir, to);
    return result;
}

class TestResults : public QObject
{
    Q_OBJECT

private slots:
    void cleanPupilText_data();
    void cleanPupilText();
    void recordJson();
    void delivery_data();
    void delivery();
    void courier_data();
    void courier();
    void gradedAgainOnTheWay_data();
    void gradedAgainOnTheWay();
};

void TestResults::cleanPupilText_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");

    QTest::newRow("Cyrillic name") << " Иванова  Мария " << "Иванова Мария";
    QTest::newRow("other scripts") << "Nguyễn Thị Ánh 李雷 محمد" << "Nguyễn Thị Ánh 李雷 محمد";
    QTest::newRow("tab and line breaks") << "Петров\tИван\r\nпапа" << "ПетровИванпапа";
    QTest::newRow("direction override") << QString::fromUtf8("Ann\u202Eelif.exe") << "Annelif.exe";
    QTest::newRow("zero-width and direction marks") << QString::fromUtf8("Ан\u200Bна\u200F \uFEFFЛи") << "Анна Ли";
    QTest::newRow("line separator") << QString::fromUtf8("Анна\u2028Ли") << "Анна Ли";
    QTest::newRow("direction isolates") << QString::fromUtf8("\u2066Ann\u2067a\u2068 Ли\u2069") << "Anna Ли";
    QTest::newRow("101 letters") << QString(101, u'я') << QString(100, u'я');
    // 99 letters and one character beyond UTF-16's plane 0: a pair is not split.
    QTest::newRow("pair at the limit") << QString(99, u'a') + QString::fromUtf8("𝔸𝔸") << QString(99, u'a') + QString::fromUtf8("𝔸");
    QTest::newRow("only controls") << "\t\n\x1b" << "";
}

void TestResults::cleanPupilText()
{
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    QCOMPARE(::cleanPupilText(typed), kept);
}

// The fields the teacher's side relies on beyond what the schema checks
// (the delivery tests check every written record against the schema).
void TestResults::recordJson()
{
    ResultRecord record;
    record.id = newResultId();
    QVERIFY(isResultId(record.id));
    record.pupil = {QStringLiteral("Иванова\tМария"), QStringLiteral("6Б"), QStringLiteral("pupil"), QStringLiteral("pc-7")};
    record.started = QDateTime(QDate(2026, 12, 9), QTime(10, 15), QTimeZone(3 * 3600));
    record.finished = QDateTime(QDate(2026, 12, 9), QTime(7, 22), QTimeZone::utc());
    record.status = ResultStatus::Unfinished;
    record.grade = 4;
    record.rows[1].operation = Operation::Divide;
    record.rows[2].right = true;
    record.rows[2].mistake = QStringLiteral("not-reduced");
    record.rows[3].typedNumerator = QString(1500, u'7');

    const QJsonObject json = QJsonDocument::fromJson(resultJson(record, QStringLiteral("1.0.0"))).object();
    QCOMPARE(json[u"format"].toString(), QStringLiteral("drobi-result/1"));
    QCOMPARE(json[u"id"].toString(), record.id);
    QCOMPARE(json[u"pupil"][u"name"].toString(), QStringLiteral("ИвановаМария"));
    QCOMPARE(json[u"started"].toString(), QStringLiteral("2026-12-09T10:15:00+03:00"));
    QCOMPARE(json[u"finished"].toString(), QStringLiteral("2026-12-09T07:22:00Z"));
    QCOMPARE(json[u"status"].toString(), QStringLiteral("unfinished"));
    QCOMPARE(json[u"grade"].toInt(), 0);
    QCOMPARE(json[u"rows"][0][u"operation"].toString(), QStringLiteral("*"));
    QCOMPARE(json[u"rows"][1][u"operation"].toString(), QStringLiteral(":"));
    QCOMPARE(json[u"rows"][2][u"mistake"].toString(), QString());
    QCOMPARE(json[u"rows"][3][u"typed"][u"numerator"].toString().size(), MaxTypedLength);
}

void TestResults::delivery_data()
{
    QTest::addColumn<QString>("before"); // what the folder holds under the record's names
    QTest::addColumn<bool>("delivered");

    QTest::newRow("empty folder") << "" << true;
    QTest::newRow("our leftover temporary file") << "temp-file" << true;
    QTest::newRow("link planted as the temporary file") << "temp-link" << true;
    QTest::newRow("link planted as the record") << "final-link" << true;
    QTest::newRow("the same test graded before") << "final-file" << true;
    QTest::newRow("folder gone") << "no-folder" << false;
    QTest::newRow("read back with other bytes of the same length") << "altered" << false;
}

// A record reaches the folder whole, under its own name only, mode 0640
// whatever the umask; whatever stood under its names is replaced and never
// followed, and the outbox keeps the record until it is there.
void TestResults::delivery()
{
    QFETCH(QString, before);
    QFETCH(bool, delivered);

    // A pupil's umask as strict as can be.
    const mode_t umaskBefore = ::umask(077);
    const auto restoreUmask = qScopeGuard([umaskBefore] { ::umask(umaskBefore); });
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("folder"));
    const QString outside = dir.filePath(QStringLiteral("outside"));
    QVERIFY(QDir().mkpath(folder));
    QFile victim(outside);
    QVERIFY(victim.open(QIODevice::WriteOnly));
    victim.write("not yours");
    victim.close();

    const QString id = newResultId();
    const QString finalPath = folder + QLatin1Char('/') + resultFileName(id);
    const QString tempPath = folder + QLatin1Char('/') + resultTempName(id);
    if (before == QLatin1String("temp-file") || before == QLatin1String("final-file")) {
        QFile old(before == QLatin1String("temp-file") ? tempPath : finalPath);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("{\"old\":");
    } else if (before.endsWith(QLatin1String("-link"))) {
        QVERIFY(QFile::link(outside, before == QLatin1String("temp-link") ? tempPath : finalPath));
    } else if (before == QLatin1String("no-folder")) {
        QVERIFY(QDir(folder).removeRecursively());
    } else if (before == QLatin1String("altered")) {
        // A share that hands back something else than it took.
        g_afterRename = [](int dirFd, const char *name) {
            const int fd = ::openat(dirFd, name, O_WRONLY | O_CLOEXEC);
            QCOMPARE(::pwrite(fd, "[", 1, 0), ssize_t(1));
            ::close(fd);
        };
    }

    const Outbox outbox(dir.filePath(QStringLiteral("outbox")));
    const QByteArray bytes = QByteArrayLiteral("{\"record\": \"Иванова\"}\n");
    QVERIFY(outbox.store(id, bytes, nullptr));
    const DeliveryResult result = outbox.deliver(id, folder);
    QVERIFY2(result.delivered == delivered, qPrintable(result.error));
    QCOMPARE(outbox.waitingIds(), delivered ? QStringList() : QStringList{id});

    QFile check(outside);
    QVERIFY(check.open(QIODevice::ReadOnly));
    QCOMPARE(check.readAll(), QByteArray("not yours"));
    if (!delivered)
        return;
    QVERIFY(!QFileInfo::exists(tempPath) && !QFileInfo(tempPath).isSymLink());
    QVERIFY(!QFileInfo(finalPath).isSymLink());
    QFile record(finalPath);
    QVERIFY(record.open(QIODevice::ReadOnly));
    QCOMPARE(record.readAll(), bytes);
    struct stat info {};
    QCOMPARE(::stat(QFile::encodeName(finalPath).constData(), &info), 0);
    QCOMPARE(info.st_mode & 07777, mode_t(0640));
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 1);
}

void TestResults::courier_data()
{
    using State = ResultsCourier::State;
    QTest::addColumn<bool>("outboxWorks");
    QTest::addColumn<bool>("folderThere");
    QTest::addColumn<State>("atOnce");
    QTest::addColumn<State>("atEnd");
    QTest::addColumn<bool>("practice"); // a practice record, known by its file name

    QTest::newRow("folder there") << true << true << State::Delivering << State::Delivered << false;
    QTest::newRow("folder missing") << true << false << State::Delivering << State::Waiting << false;
    QTest::newRow("outbox broken, folder there") << false << true << State::DeliveringUnsaved << State::Delivered << false;
    QTest::newRow("outbox broken, folder missing") << false << false << State::DeliveringUnsaved << State::NotSaved << false;
    QTest::newRow("practice, folder there") << true << true << State::Delivering << State::Delivered << true;
    QTest::newRow("practice, folder missing") << true << false << State::Delivering << State::Waiting << true;
}

// What the pupil is told at once and when the delivery has ended, and that a
// record that did not arrive arrives with a retry once the folder is there,
// from the outbox or from memory.
void TestResults::courier()
{
    QFETCH(bool, outboxWorks);
    QFETCH(bool, folderThere);
    QFETCH(ResultsCourier::State, atOnce);
    QFETCH(ResultsCourier::State, atEnd);
    QFETCH(bool, practice);

    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("folder"));
    const QString outbox = dir.filePath(QStringLiteral("outbox"));
    if (folderThere)
        QVERIFY(QDir().mkpath(folder));
    if (!outboxWorks) {
        // A file where the outbox's folder should be: nothing can be kept there.
        QFile blocker(outbox);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    }
    ResultsCourier courier(folder, outbox);
    QSignalSpy ended(&courier, &ResultsCourier::deliveryEnded);
    QSignalSpy passes(&courier, &ResultsCourier::passFinished);
    const QString id = practice ? practiceFileName(newResultId()) : newResultId();
    QCOMPARE(courier.submit(id, QByteArrayLiteral("{}\n")), atOnce);
    QVERIFY(ended.wait(5000));
    QCOMPARE(ended.constFirst().at(0).toString(), id);
    QCOMPARE(ended.constFirst().at(1).value<ResultsCourier::State>(), atEnd);
    QCOMPARE(courier.lastDelivered(), folderThere);
    QCOMPARE(courier.lastError().isEmpty(), folderThere);

    // The retries start with the courier, then run every 30 seconds (here
    // sooner): the first finds the folder as it was, the next one there.
    courier.start();
    QVERIFY(passes.wait(5000));
    QCOMPARE(passes.takeFirst(), (QVariantList{0, folderThere ? 0 : 1}));
    auto *retry = courier.findChild<QTimer *>();
    QVERIFY(retry && retry->isActive());
    QCOMPARE(retry->interval(), ResultsCourier::RetryIntervalMs);
    QVERIFY(QDir().mkpath(folder));
    retry->setInterval(10);
    QVERIFY(passes.wait(5000));
    QCOMPARE(passes.takeFirst(), (QVariantList{folderThere ? 0 : 1, 0}));
    QVERIFY(courier.lastDelivered());
    QVERIFY(QFileInfo::exists(folder + QLatin1Char('/') + (practice ? id : resultFileName(id))));
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 1);
    QCOMPARE(Outbox(outbox).waitingIds(), QStringList());
}

void TestResults::gradedAgainOnTheWay_data()
{
    QTest::addColumn<bool>("outboxWorks");
    QTest::addColumn<bool>("firstByRetry"); // the first copy on its way with a retry, not its own delivery
    QTest::addColumn<QByteArray>("second");

    const QByteArray first("{\"grade\": 2}\n"), other("{\"grade\": 3}\n");
    QTest::newRow("graded again, kept in the outbox") << true << false << other;
    QTest::newRow("graded again, kept in memory") << false << false << other;
    QTest::newRow("the same record again during a retry") << true << true << first;
}

// «Готово!» pressed again while the first record is on its way: the folder
// keeps the newer record, once; nothing is left waiting, and the pupil hears
// once that the newer record arrived.
void TestResults::gradedAgainOnTheWay()
{
    QFETCH(bool, outboxWorks);
    QFETCH(bool, firstByRetry);
    QFETCH(QByteArray, second);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("folder"));
    const QString outbox = dir.filePath(QStringLiteral("outbox"));
    if (!outboxWorks)
        QVERIFY(QFile(outbox).open(QIODevice::WriteOnly));
    ResultsCourier courier(folder, outbox);
    QSignalSpy ended(&courier, &ResultsCourier::deliveryEnded);
    const QString id = newResultId();
    const QByteArray first("{\"grade\": 2}\n");
    if (firstByRetry) {
        courier.submit(id, first);
        QVERIFY(ended.wait(5000));
        ended.clear();
    }
    QVERIFY(QDir().mkpath(folder));
    QSemaphore renamed, goOn;
    g_afterRename = [&](int, const char *) {
        renamed.release();
        goOn.acquire();
    };
    if (firstByRetry)
        courier.start();
    else
        courier.submit(id, first);
    QVERIFY(renamed.tryAcquire(1, 5000));
    courier.submit(id, second);
    goOn.release();

    QVERIFY(ended.wait(5000));
    QTest::qWait(50);
    QCOMPARE(ended.size(), 1);
    QCOMPARE(ended.constFirst().at(1).value<ResultsCourier::State>(), ResultsCourier::State::Delivered);
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{resultFileName(id)});
    QFile record(folder + QLatin1Char('/') + resultFileName(id));
    QVERIFY(record.open(QIODevice::ReadOnly));
    QCOMPARE(record.readAll(), second);
    QCOMPARE(Outbox(outbox).waitingIds(), QStringList());
}

QTEST_GUILESS_MAIN(TestResults)
#include "tst_results.moc"
