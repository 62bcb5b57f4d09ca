// SPDX-License-Identifier: GPL-3.0-or-later
// The window with a school's settings: the test's length in the clock and
// the instructions, and the record in a results folder when the test is
// graded by «Готово!» or by the clock, when the window is closed while the
// test runs, and, as running, when the test starts.

#include "results/result_messages.h"
#include "test_support.h"
#include "results/practice_record.h"
#include "window/practice_window.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// The records in `folder`, read back.
QList<QJsonObject> records(const QString &folder)
{
    QList<QJsonObject> found;
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
        QFile file(QDir(folder).filePath(name));
        if (!name.endsWith(QLatin1String(".drobi.json")) || !file.open(QIODevice::ReadOnly))
            return {QJsonObject{{QStringLiteral("unexpected file"), name}}};
        found << QJsonDocument::fromJson(file.readAll()).object();
    }
    return found;
}

} // namespace

class TestSchool : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void practiceOffered_data();
    void practiceOffered();
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    // Each case its own outbox: a record one case left waiting would
    // otherwise be delivered into the next case's folder.
    void init()
    {
        m_home = std::make_unique<QTemporaryDir>();
        qputenv("HOME", QFile::encodeName(m_home->path()));
    }
    void testLength_data();
    void testLength();
    void recordWritten_data();
    void recordWritten();

private:
    std::unique_ptr<QTemporaryDir> m_home;
};

void TestSchool::testLength_data()
{
    QTest::addColumn<int>("minutes");
    QTest::addColumn<QString>("clock");
    QTest::addColumn<QString>("instructions");
    QTest::newRow("1") << 1 << "00:01:00" << "расчитано на 1 минуту.";
    QTest::newRow("22") << 22 << "00:22:00" << "расчитано на 22 минуты.";
    QTest::newRow("45") << 45 << "00:45:00" << "расчитано на 45 минут.";
    QTest::newRow("90") << 90 << "01:30:00" << "расчитано на 90 минут.";
}

void TestSchool::testLength()
{
    QFETCH(int, minutes);
    QFETCH(QString, clock);
    QFETCH(QString, instructions);
    SchoolSettings settings;
    settings.minutes = minutes;
    Form1 form(nullptr, settings);
    QVERIFY2(form.ui().Label4->text().contains(instructions), qPrintable(form.ui().Label4->text()));
    QCOMPARE(form.SecondsLeft(), int16_t(minutes * 60));
    startTest(form);
    QCOMPARE(form.ui().TL->text(), clock);
}

void TestSchool::recordWritten_data()
{
    QTest::addColumn<QString>("ending");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("timeRanOut");
    QTest::addColumn<QStringList>("linesOpen"); // each grade box's line as it opens
    QTest::addColumn<QString>("whole");         // row 4's whole part as the record has it
    const QString delivering = ResultMessages::Delivering, delivered = ResultMessages::Delivered;
    QTest::newRow("«Готово!»") << "done" << "graded" << false << QStringList{delivering} << "7";
    // «Готово!» after the clock grades as the clock did: the record is not
    // written again, and the second box says where the first one got.
    QTest::newRow("the clock, then «Готово!» again") << "timeout" << "graded" << true << QStringList{delivering, delivered} << "7";
    QTest::newRow("the window closed during the test") << "closed" << "unfinished" << false << QStringList{} << "7";
    // Written at the start, before anything was typed; the final record
    // replaces it under the same id.
    QTest::newRow("the test started") << "started" << "running" << false << QStringList{} << "";
}

// Also what each grade box says of the result: on its way when the box
// opens, delivered once it is, in the open box.
void TestSchool::recordWritten()
{
    QFETCH(QString, ending);
    QFETCH(QString, status);
    QFETCH(bool, timeRanOut);
    QFETCH(QStringList, linesOpen);
    QFETCH(QString, whole);
    QTemporaryDir folder;
    SchoolSettings settings;
    settings.folder = folder.path();
    settings.nameSource = PupilNameSource::Login;
    Form1 form(nullptr, settings);
    startTest(form);
    enter(form.ui().Cw(3), QStringLiteral("7"));

    QStringList linesLater;
    BoxCloser closer([&] {
        const auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QTRY_VERIFY(box->informativeText() != ResultMessages::Delivering);
        linesLater << box->informativeText();
    });
    if (ending == QLatin1String("closed")) {
        form.close();
    } else if (ending != QLatin1String("started")) {
        if (ending == QLatin1String("timeout")) {
            form.setSecondsLeft(1);
            form.Timer1_Timer();
        }
        form.Command2_Click();
    }
    QStringList opened;
    for (const SeenBox &box : std::as_const(closer.seen))
        opened << box.informative;
    QCOMPARE(opened, linesOpen);
    QCOMPARE(linesLater, QStringList(linesOpen.size(), ResultMessages::Delivered));
    // Delivered on a thread of its own: the record's name appears whole,
    // and the final record replaces the running one.
    const auto statusNow = [&] {
        const QList<QJsonObject> now = records(folder.path());
        return now.size() == 1 ? now.first()[QStringLiteral("status")].toString() : QString();
    };
    QTRY_COMPARE(statusNow(), status);

    const QList<QJsonObject> found = records(folder.path());
    QCOMPARE(found.size(), 1);
    const QJsonObject record = found.first();
    QCOMPARE(record[QStringLiteral("status")].toString(), status);
    QCOMPARE(record[QStringLiteral("timeRanOut")].toBool(), timeRanOut);
    QCOMPARE(record[QStringLiteral("pupil")][QStringLiteral("name")].toString().isEmpty(), false);
    const QJsonObject typed = record[QStringLiteral("rows")][3][QStringLiteral("typed")].toObject();
    QCOMPARE(typed[QStringLiteral("whole")].toString(), whole);
    QCOMPARE(typed[QStringLiteral("numerator")].toString(), QString());
    // No answer key in the file while the pupil writes.
    QCOMPARE(record[QStringLiteral("rows")][3][QStringLiteral("answer")].toString().isEmpty(), status == QLatin1String("running"));
    QCOMPARE(record[QStringLiteral("grade")].toInt(), status == QLatin1String("graded") ? 2 : 0);
}

// «Готово!»'s grade box offers «Работа над ошибками» only when the school
// wants it and a row is wrong; otherwise the box is as it always was.
void TestSchool::practiceOffered_data()
{
    QTest::addColumn<bool>("afterTest");
    QTest::addColumn<int>("right");
    QTest::addColumn<bool>("offered");

    QTest::newRow("key absent, rows wrong") << false << 7 << false;
    QTest::newRow("key on, rows wrong") << true << 7 << true;
    QTest::newRow("key on, all right") << true << 10 << false;
}

void TestSchool::practiceOffered()
{
    QFETCH(bool, afterTest);
    QFETCH(int, right);
    QFETCH(bool, offered);

    QTemporaryDir folder;
    SchoolSettings settings;
    settings.folder = folder.path();
    settings.nameSource = PupilNameSource::Login;
    settings.practiceAfterTest = afterTest;
    Form1 form(nullptr, settings);
    startTest(form);
    typeRightAnswers(form, right);
    QStringList buttons;
    BoxCloser closer([&] {
        const auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        for (const QAbstractButton *button : box->buttons())
            buttons << button->text();
        if (auto *practice = box->findChild<QPushButton *>(QStringLiteral("PracticeButton")))
            practice->click();
    });
    QTest::mouseClick(form.ui().Command2, Qt::LeftButton);
    QCOMPARE(buttons.size(), offered ? 2 : 1);
    QCOMPARE(buttons.contains(PracticeWindowTitle), offered);
    // The practice opens on this test's wrong rows; closed, its record
    // joins the test's in the folder, naming the test.
    auto *practice = form.findChild<PracticeWindow *>();
    QCOMPARE(practice != nullptr, offered);
    if (!practice)
        return;
    QCOMPARE(practice->practice()->sets().empty(), false);
    practice->close();
    const QDir dir(folder.path());
    QTRY_COMPARE(dir.entryList({QStringLiteral("*.drobi-practice.json")}, QDir::Files).size(), 1);
    QFile file(dir.filePath(dir.entryList({QStringLiteral("*.drobi-practice.json")}).first()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const PracticeRead read = parsePracticeRecord(file.readAll());
    QVERIFY2(read.record, qPrintable(read.problem));
    QCOMPARE(read.record->test + QStringLiteral(".drobi.json"), dir.entryList({QStringLiteral("*.drobi.json")}).value(0));
    QCOMPARE(read.record->kinds.front().state, PracticeState::Unfinished);
}

QTEST_MAIN(TestSchool)
#include "tst_school.moc"
