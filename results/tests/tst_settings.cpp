// SPDX-License-Identifier: GPL-3.0-or-later
// The school's settings: reading the file, the administrator's check, who
// may name another file with --settings, the example file's keys, and the
// problem lines on standard error.

#include "results/diagnostics.h"
#include "results/school_settings.h"
#include "results/settings_check.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <unistd.h>

Q_DECLARE_METATYPE(SettingsUse)

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void settings_data();
    void settings();
    void settingsOption_data();
    void settingsOption();
    void exampleKeys();
    void laterKeys_data();
    void laterKeys();
    void problemLine_data();
    void problemLine();
};

namespace {

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

void TestSettings::settings_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("folder");  // relative to the test's folder; "" for off
    QTest::addColumn<bool>("askName");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<QString>("problem"); // a word of the one problem line; "" for none

    // Good files.
    QTest::newRow("results and minutes") << QByteArray("[results]\nfolder=$D/in\nname=login\n[test]\nminutes=45\n")
                                         << "in" << false << 45 << "";
    QTest::newRow("minutes alone") << QByteArray("[test]\nminutes=1\n") << "" << true << 1 << "";
    QTest::newRow("90 minutes") << QByteArray("[test]\nminutes=90\n") << "" << true << 90 << "";
    QTest::newRow("empty file") << QByteArray() << "" << true << 10 << "";
    // A share not mounted yet: results stay on and wait on this computer.
    QTest::newRow("folder missing") << QByteArray("[results]\nfolder=$D/none\n") << "none" << true << 10 << "does not exist";
    QTest::newRow("link loop") << QByteArray("[results]\nfolder=$D/loop\n") << "loop" << true << 10 << "loop of symbolic links";
    // Values that cannot be used: the default, and one line saying why.
    QTest::newRow("relative folder") << QByteArray("[results]\nfolder=results\n") << "" << true << 10 << "not an absolute path";
    QTest::newRow("empty folder") << QByteArray("[results]\nfolder=\n") << "" << true << 10 << "empty";
    QTest::newRow("file as folder") << QByteArray("[results]\nfolder=$D/file\n") << "" << true << 10 << "not a folder";
    QTest::newRow("folder name too long") << QByteArray("[results]\nfolder=$D/") + QByteArray(300, 'x') << "" << true << 10
                                          << "too long for a path";
    QTest::newRow("folder not UTF-8") << QByteArray("[results]\nfolder=$D/\xff\n") << "" << true << 10 << "not valid UTF-8";
    QTest::newRow("name without folder") << QByteArray("[results]\nname=ask\n") << "" << true << 10 << "no folder";
    QTest::newRow("name unknown") << QByteArray("[results]\nfolder=$D/in\nname=who\n") << "in" << true << 10 << "ask is used";
    QTest::newRow("minutes 0") << QByteArray("[test]\nminutes=0\n") << "" << true << 10 << "minutes=0 ";
    QTest::newRow("minutes 91") << QByteArray("[test]\nminutes=91\n") << "" << true << 10 << "minutes=91 ";
    QTest::newRow("minutes abc") << QByteArray("[test]\nminutes=abc\n") << "" << true << 10 << "minutes=abc ";
    QTest::newRow("minutes 7.5") << QByteArray("[test]\nminutes=7.5\n") << "" << true << 10 << "minutes=7.5 ";
    QTest::newRow("unknown key") << QByteArray("[test]\nminutes=20\nseconds=5\n") << "" << true << 20 << "[test] seconds";
    QTest::newRow("unknown group") << QByteArray("[sound]\nvolume=3\n") << "" << true << 10 << "[sound] volume";
    QTest::newRow("key before any group") << QByteArray("folder=/tmp\n") << "" << true << 10 << "folder is not a setting";
    QTest::newRow("line without =") << QByteArray("[results]\nfolder /tmp\n") << "" << true << 10
                                    << "line 2: \"folder /tmp\" is not key=value";
    QTest::newRow("minutes: 12") << QByteArray("[test]\nminutes: 12\n") << "" << true << 10 << "is not key=value";
    QTest::newRow("key twice") << QByteArray("[test]\nminutes=12\nminutes=20\n") << "" << true << 20
                               << "test/minutes is set a second time";
    // QSettings reads %-codes in keys and groups: this is minutes again.
    QTest::newRow("key twice, once %-coded") << QByteArray("[te%73t]\nminutes=12\nmin%75tes=90\n") << "" << true << 90
                                             << "test/minutes (written min%75tes) is set a second time";
    // A NUL is named, and does not cut the check's line short.
    QTest::newRow("NUL byte") << QByteArrayLiteral("[test]\nminutes=12\0\n") << "" << true << 10 << "line 2 holds a NUL byte";
}

// Each table row is read by the program's start (the settings) and by the
// administrator's check (its exit status and the problem's line).
void TestSettings::settings()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, folder);
    QFETCH(bool, askName);
    QFETCH(int, minutes);
    QFETCH(QString, problem);

    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("in")));
    write(dir.filePath(QStringLiteral("file")), QByteArray());
    QVERIFY(QFile::link(QStringLiteral("loop"), dir.filePath(QStringLiteral("loop"))));
    const QString file = dir.filePath(QStringLiteral("drobi.conf"));
    write(file, QByteArray(ini).replace("$D", QFile::encodeName(dir.path())));

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

void TestSettings::settingsOption_data()
{
    QTest::addColumn<SettingsUse>("use");
    QTest::addColumn<bool>("schoolFile"); // the school's file exists
    QTest::addColumn<bool>("root");
    QTest::addColumn<bool>("named");      // --settings own.conf on the command line
    QTest::addColumn<int>("minutes");     // 20 from the school's file, 90 from own.conf, 0 when refused

    // A pupil's own file does not replace the school's for a test...
    QTest::newRow("test, pupil") << SettingsUse::Test << true << false << true << 0;
    QTest::newRow("test, pupil, no --settings") << SettingsUse::Test << true << false << false << 20;
    // ...but root's does, and any where the school has none.
    QTest::newRow("test, root") << SettingsUse::Test << true << true << true << 90;
    QTest::newRow("test, pupil, no school's file") << SettingsUse::Test << false << false << true << 90;
    // Checking a file and the class window read any.
    QTest::newRow("check, pupil") << SettingsUse::Check << true << false << true << 90;
    QTest::newRow("class window, pupil") << SettingsUse::ClassWindow << true << false << true << 90;
}

void TestSettings::settingsOption()
{
    QFETCH(SettingsUse, use);
    QFETCH(bool, schoolFile);
    QFETCH(bool, root);
    QFETCH(bool, named);
    QFETCH(int, minutes);

    QTemporaryDir dir;
    const QString school = dir.filePath(QStringLiteral("school.conf"));
    if (schoolFile)
        write(school, "[test]\nminutes=20\n");
    const QString own = dir.filePath(QStringLiteral("own.conf"));
    write(own, "[test]\nminutes=90\n");

    // The file given apart or joined: `--settings FILE`, `--settings=FILE`.
    for (const bool joined : {false, true}) {
        QByteArray arg0("drobi"), arg1(joined ? "--settings=" + QFile::encodeName(own) : QByteArray("--settings")),
            arg2(QFile::encodeName(own));
        char *argv[] = {arg0.data(), arg1.data(), arg2.data(), nullptr};
        SchoolSettings settings;
        QString error;
        const bool loaded =
            loadSchoolSettings(named ? (joined ? 2 : 3) : 1, argv, use, &settings, &error, SettingsHost{school, root});
        QCOMPARE(loaded, minutes != 0);
        QCOMPARE(settings.minutes, loaded ? minutes : SchoolSettings::DefaultMinutes);
        QCOMPARE(settings.problems, QStringList());
        // Refused: one line that names the school's file.
        QCOMPARE(error.isEmpty(), loaded);
        QVERIFY2(loaded || (error.contains(school) && !error.contains(QLatin1Char('\n'))), qPrintable(error));
    }
}

// The example file an administrator starts from holds every key, and only those.
void TestSettings::exampleKeys()
{
    const QSettings example(QStringLiteral(DROBI_SOURCE_DIR "/data/drobi.conf.example"), QSettings::IniFormat);
    QStringList declared;
    for (const SettingKey &row : SchoolSettingKeys)
        declared << QStringLiteral("%1/%2").arg(QLatin1String(row.group), QLatin1String(row.key));
    QStringList keys = example.allKeys();
    keys.sort();
    declared.sort();
    QCOMPARE(keys, declared);
    // The help's Russian words read as written.
    QVERIFY2(settingsHelp().contains(QStringLiteral("«Готово!»")), qPrintable(settingsHelp()));
}

// The class lists, the grade scale and the practice: read, and refused
// with the defaults kept.
void TestSettings::laterKeys_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("scale"); // grade5 grade4 grade3
    QTest::addColumn<bool>("classList");
    QTest::addColumn<bool>("practice");
    QTest::addColumn<QString>("problem"); // a word of the one problem line; "" for none

    QTest::newRow("defaults") << QByteArray("[test]\nminutes=10\n") << "10 9 8" << false << false << "";
    QTest::newRow("a lenient scale") << QByteArray("[test]\ngrade5=9\ngrade4=7\ngrade3=5\n") << "9 7 5" << false << false << "";
    QTest::newRow("one grade for all") << QByteArray("[test]\ngrade5=6\ngrade4=6\ngrade3=6\n") << "6 6 6" << false << false << "";
    QTest::newRow("out of order") << QByteArray("[test]\ngrade5=8\ngrade4=9\n") << "10 9 8" << false << false << "not from the most";
    QTest::newRow("eleven") << QByteArray("[test]\ngrade5=11\n") << "10 9 8" << false << false << "from 0 to 10";
    QTest::newRow("class lists") << QByteArray("[results]\nfolder=$D\nclasses=$D/classes.csv\n") << "10 9 8" << true << false << "";
    QTest::newRow("class lists missing")
        << QByteArray("[results]\nfolder=$D\nclasses=$D/none.csv\n") << "10 9 8" << true << false << "cannot be read now";
    QTest::newRow("class lists relative")
        << QByteArray("[results]\nfolder=$D\nclasses=classes.csv\n") << "10 9 8" << false << false << "not an absolute path";
    QTest::newRow("class lists a folder") << QByteArray("[results]\nfolder=$D\nclasses=$D\n") << "10 9 8" << false << false << "not a file";
    QTest::newRow("practice") << QByteArray("[practice]\nafter_test=yes\n") << "10 9 8" << false << true << "";
    QTest::newRow("practice maybe") << QByteArray("[practice]\nafter_test=maybe\n") << "10 9 8" << false << false << "neither no nor yes";
}

void TestSettings::laterKeys()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, scale);
    QFETCH(bool, classList);
    QFETCH(bool, practice);
    QFETCH(QString, problem);
    QTemporaryDir dir;
    write(dir.filePath(QStringLiteral("classes.csv")), "6Б;Орлова Мария\n");
    const QString file = dir.filePath(QStringLiteral("drobi.conf"));
    write(file, ini.replace("$D", QFile::encodeName(dir.path())));
    const SchoolSettings s = readSchoolSettings(file, true);
    QCOMPARE(QStringLiteral("%1 %2 %3").arg(s.gradeFive).arg(s.gradeFour).arg(s.gradeThree), scale);
    QCOMPARE(!s.classList.isEmpty(), classList);
    QCOMPARE(s.practiceAfterTest, practice);
    QCOMPARE(s.problems.size(), problem.isEmpty() ? 0 : 1);
    if (!problem.isEmpty())
        QVERIFY2(s.problems.constFirst().contains(problem), qPrintable(s.problems.constFirst()));
}

void TestSettings::problemLine_data()
{
    QTest::addColumn<bool>("ours");
    QTest::addColumn<QString>("line");

    // The program's own problem lines, as administrators meet them...
    QTest::newRow("settings") << true << "drobi: [test] minutes=abc is not a whole number\n";
    // ...and Qt's own messages, as Qt writes them.
    QTest::newRow("Qt's") << false << "qt.test: [test] minutes=abc is not a whole number\n";
}

// What reaches standard error: the problem lines printed through the
// category, with the program's name in front.
void TestSettings::problemLine()
{
    QFETCH(bool, ours);
    QFETCH(QString, line);

    // Qt's own handler under ours, not the test's, which would keep the message.
    const QtMessageHandler testHandler = qInstallMessageHandler(nullptr);
    std::FILE *captured = std::tmpfile();
    const int stderrCopy = ::dup(STDERR_FILENO);
    std::fflush(stderr);
    ::dup2(::fileno(captured), STDERR_FILENO);
    installDiagnostics("drobi");
    const QString message = QStringLiteral("[test] minutes=abc is not a whole number");
    if (ours) {
        logSettingsProblems({message});
    } else {
        static const QLoggingCategory qtTest("qt.test");
        qCWarning(qtTest).noquote() << message;
    }
    qInstallMessageHandler(testHandler);
    std::fflush(stderr);
    ::dup2(stderrCopy, STDERR_FILENO);
    ::close(stderrCopy);
    std::rewind(captured);
    char buffer[256] = {};
    const QString written = QString::fromUtf8(buffer, qsizetype(std::fread(buffer, 1, sizeof buffer - 1, captured)));
    std::fclose(captured);
    QCOMPARE(written, line);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
