// SPDX-License-Identifier: GPL-3.0-or-later
// The school's settings file, a pupil's name made safe, the record's JSON,
// its delivery into a local folder and the courier's retries.

#include "results/delivery.h"
#include "results/result_record.h"
#include "results/results_courier.h"
#include "results/school_settings.h"
#include "results/settings_check.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>
#include <sys/stat.h>
#include <unistd.h>

class TestResults : public QObject
{
    Q_OBJECT

private slots:
    void settings_data();
    void settings();
    void cleanPupilText_data();
    void cleanPupilText();
    void recordJson();
    void delivery_data();
    void delivery();
    void courier_data();
    void courier();
};

void TestResults::settings_data()
{
    QTest::addColumn<QString>("ini");
    QTest::addColumn<QString>("folder");  // relative to the test's folder; "" for off
    QTest::addColumn<bool>("askName");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<QString>("problem"); // a word of the one problem line; "" for none

    // Good files.
    QTest::newRow("results and minutes") << "[results]\nfolder=$D/in\nname=login\n[test]\nminutes=45\n"
                                         << "in" << false << 45 << "";
    QTest::newRow("minutes alone") << "[test]\nminutes=1\n" << "" << true << 1 << "";
    QTest::newRow("90 minutes") << "[test]\nminutes=90\n" << "" << true << 90 << "";
    QTest::newRow("empty file") << "" << "" << true << 10 << "";
    // A share not mounted yet: results stay on and wait on this computer.
    QTest::newRow("folder missing") << "[results]\nfolder=$D/none\n" << "none" << true << 10 << "does not exist";
    // Values that cannot be used: the default, and one line saying why.
    QTest::newRow("relative folder") << "[results]\nfolder=results\n" << "" << true << 10 << "not an absolute path";
    QTest::newRow("empty folder") << "[results]\nfolder=\n" << "" << true << 10 << "empty";
    QTest::newRow("file as folder") << "[results]\nfolder=$D/file\n" << "" << true << 10 << "not a folder";
    QTest::newRow("name without folder") << "[results]\nname=ask\n" << "" << true << 10 << "no folder";
    QTest::newRow("name unknown") << "[results]\nfolder=$D/in\nname=who\n" << "in" << true << 10 << "ask is used";
    QTest::newRow("minutes 0") << "[test]\nminutes=0\n" << "" << true << 10 << "minutes=0 ";
    QTest::newRow("minutes 91") << "[test]\nminutes=91\n" << "" << true << 10 << "minutes=91 ";
    QTest::newRow("minutes abc") << "[test]\nminutes=abc\n" << "" << true << 10 << "minutes=abc ";
    QTest::newRow("minutes 7.5") << "[test]\nminutes=7.5\n" << "" << true << 10 << "minutes=7.5 ";
    QTest::newRow("unknown key") << "[test]\nminutes=20\nseconds=5\n" << "" << true << 20 << "[test] seconds";
    QTest::newRow("unknown group") << "[sound]\nvolume=3\n" << "" << true << 10 << "[sound] volume";
    QTest::newRow("key before any group") << "folder=/tmp\n" << "" << true << 10 << "folder is not a setting";
    QTest::newRow("line without =") << "[results]\nfolder /tmp\n" << "" << true << 10 << "line 2: \"folder /tmp\" is not key=value";
    QTest::newRow("minutes: 12") << "[test]\nminutes: 12\n" << "" << true << 10 << "is not key=value";
    QTest::newRow("key twice") << "[test]\nminutes=12\nminutes=20\n" << "" << true << 20 << "test/minutes is set a second time";
}

// Each table row is read by the program's start (the settings) and by the
// administrator's check (its exit status and the problem's line).
void TestResults::settings()
{
    QFETCH(QString, ini);
    QFETCH(QString, folder);
    QFETCH(bool, askName);
    QFETCH(int, minutes);
    QFETCH(QString, problem);

    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("in")));
    QFile plain(dir.filePath(QStringLiteral("file")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QString file = dir.filePath(QStringLiteral("drobi.conf"));
    QFile conf(file);
    QVERIFY(conf.open(QIODevice::WriteOnly));
    conf.write(QString(ini).replace(QStringLiteral("$D"), dir.path()).toUtf8());
    conf.close();

    const SchoolSettings settings = readSchoolSettings(file, true);
    QCOMPARE(settings.folder, folder.isEmpty() ? QString() : dir.filePath(folder));
    QCOMPARE(settings.nameSource == PupilNameSource::Ask, askName);
    QCOMPARE(settings.minutes, minutes);
    QCOMPARE(settings.problems.size(), problem.isEmpty() ? 0 : 1);
    if (!problem.isEmpty())
        QVERIFY2(settings.problems.constFirst().contains(problem), qPrintable(settings.problems.constFirst()));

    // The check names the same problem and fails on it; with a folder that
    // exists it also writes a probe there and leaves nothing behind.
    QByteArray arg0("drobi"), arg1("--check-settings"), arg2("--settings"), arg3(QFile::encodeName(file));
    char *argv[] = {arg0.data(), arg1.data(), arg2.data(), arg3.data(), nullptr};
    std::FILE *out = std::tmpfile();
    const int status = checkSchoolSettings(4, argv, out);
    std::rewind(out);
    char buffer[4096] = {};
    const QString report = QString::fromUtf8(buffer, qsizetype(std::fread(buffer, 1, sizeof buffer - 1, out)));
    std::fclose(out);
    QCOMPARE(status, problem.isEmpty() ? 0 : 1);
    QVERIFY2(report.contains(problem), qPrintable(report));
    QCOMPARE(report.count(QLatin1Char('\n')), problem.isEmpty() ? 1 : 2);
    QVERIFY(QDir(dir.filePath(QStringLiteral("in"))).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

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
}

// A record reaches the folder whole, under its own name only, mode 0640;
// whatever stood under its names is replaced and never followed, and the
// outbox keeps the record until it is there.
void TestResults::delivery()
{
    QFETCH(QString, before);
    QFETCH(bool, delivered);

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
    QTest::addColumn<bool>("outboxWorks");
    QTest::addColumn<bool>("folderThere");
    QTest::addColumn<ResultsCourier::State>("state");

    QTest::newRow("folder there") << true << true << ResultsCourier::State::Delivered;
    QTest::newRow("folder missing") << true << false << ResultsCourier::State::Waiting;
    QTest::newRow("outbox broken, folder there") << false << true << ResultsCourier::State::Delivered;
    QTest::newRow("outbox broken, folder missing") << false << false << ResultsCourier::State::NotSaved;
}

// What the pupil is told, and that a record that did not arrive arrives with
// the next retry once the folder is there, from the outbox or from memory.
void TestResults::courier()
{
    QFETCH(bool, outboxWorks);
    QFETCH(bool, folderThere);
    QFETCH(ResultsCourier::State, state);

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
    const QString id = newResultId();
    QCOMPARE(courier.submit(id, QByteArrayLiteral("{}\n")), state);
    QCOMPARE(courier.lastDelivered(), folderThere);
    QCOMPARE(courier.lastError().isEmpty(), folderThere);

    QVERIFY(QDir().mkpath(folder));
    QSignalSpy passes(&courier, &ResultsCourier::passFinished);
    courier.start();
    QVERIFY(passes.wait(5000));
    QCOMPARE(passes.constFirst(), (QVariantList{folderThere ? 0 : 1, 0}));
    QVERIFY(courier.lastDelivered());
    QVERIFY(QFileInfo::exists(folder + QLatin1Char('/') + resultFileName(id)));
    QCOMPARE(Outbox(outbox).waitingIds(), QStringList());
}

QTEST_GUILESS_MAIN(TestResults)
#include "tst_results.moc"
