// SPDX-License-Identifier: GPL-3.0-or-later
// drobi-class: the teacher's class window, started as `drobi --class`.
//
//   drobi-class [FOLDER] [--settings FILE] [--export FILE.csv|.xlsx|.pdf]
//               [--date YYYY-MM-DD|all] [--group CLASS] [--projector]
//               [--attempt last|best|first|all] [--pupils]
//
// Without FOLDER the results folder comes from the school settings file,
// [results] folder= in /etc/xdg/drobi/drobi.conf (or the file --settings
// names), read as the pupil's program reads it. With --export the table
// (or, for .pdf, the summary and the table; with --pupils, a page per
// pupil) is written without opening a window, also without a display.

#include "classview/atomic_file.h"
#include "classview/class_arguments.h"
#include "classview/class_export.h"
#include "classview/class_window.h"
#include "results/class_list.h"
#include "results/diagnostics.h"
#include "results/school_settings.h"
#include "runtime/message_box.h"
#include "runtime/translations.h"

#include <QApplication>
#include <QLoggingCategory>

#include <cstdio>
#include <cstdlib>

namespace {

Q_LOGGING_CATEGORY(lcClass, "drobi.class")

const char *const Usage =
    "Usage: drobi --class [FOLDER] [--settings FILE] [--export FILE.csv|FILE.xlsx|FILE.pdf]\n"
    "                     [--date YYYY-MM-DD|all] [--group CLASS] [--projector]\n"
    "                     [--attempt last|best|first|all] [--pupils]\n"
    "The teacher's class window: the tests in the results folder (FOLDER, or\n"
    "[results] folder= of /etc/xdg/drobi/drobi.conf, or of FILE with\n"
    "--settings), graded again, with the class summary. With --export, writes\n"
    "the table (CSV, XLSX) or the summary and the table (PDF) for the day\n"
    "(today unless --date; all for every day) and the class given, and exits;\n"
    "no display is needed. --projector hides the pupils' names. One row per\n"
    "pupil and day, by surname: the last attempt, or the one --attempt names.\n"
    "The XLSX's sheet «Журнал» lists every pupil of the school's class lists\n"
    "([results] classes=), with the grade or «не писал». --pupils makes the PDF\n"
    "a page per pupil: the tasks, the answers, the verdicts, explanations and\n"
    "worked solutions, for work on the mistakes.\n";

int fail(const QString &message)
{
    qCCritical(lcClass).noquote() << message;
    return 2;
}

// The results folder of the school's settings (or of --settings FILE),
// loaded as the pupil's program loads them; empty, with the reason in
// `noFolder`, when none is usable. Their problems are told only when they
// leave no folder to read and one is `wanted`. Also what they ask of every
// test, into `rules`.
QString settingsFolder(int argc, char *argv[], bool wanted, QString *noFolder, std::optional<SchoolRules> *rules)
{
    SchoolSettings settings;
    QString error;
    if (!loadSchoolSettings(argc, argv, SettingsUse::ClassWindow, &settings, &error)) {
        *noFolder = error;
        return QString();
    }
    // Records are compared with the school's settings only where there is a
    // file of them: without one, nothing says what the school chose.
    if (settings.fileFound)
        *rules = SchoolRules{settings.secondsAllowed(), settings.nameSource};
    if (settings.folder.isEmpty() && wanted) {
        logSettingsProblems(settings.problems);
        *noFolder = QStringLiteral("no results folder given, and none usable in %1 ([results] folder=)").arg(settings.file);
    }
    return settings.folder;
}

// The school's class lists, when its settings name them; their problems
// are told, and the window then goes without them.
ClassList settingsClassList(int argc, char *argv[])
{
    SchoolSettings settings;
    QString error;
    ClassList list;
    if (!loadSchoolSettings(argc, argv, SettingsUse::ClassWindow, &settings, &error) || settings.classList.isEmpty())
        return list;
    if (!readClassList(settings.classList, &list, &error))
        qCWarning(lcClass).noquote() << error;
    logSettingsProblems(list.problems);
    return list;
}

bool hasDisplay()
{
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET", "QT_QPA_PLATFORM"}) {
        if (std::getenv(name))
            return true;
    }
    return false;
}

// Writes the export the arguments name, without a window.
int runExport(const ClassArguments &options, HashStore &hashes, const std::optional<SchoolRules> &rules,
              const ClassList &classList)
{
    ResultsFolder folder(options.folder, &hashes);
    folder.setSchoolRules(rules);
    folder.refresh();
    if (!folder.folderProblem().isEmpty())
        return fail(folder.folderProblem());
    const QList<ShownTest> tests =
        pupilRows(selectTests(folder.entries(), options.filter, options.projector), options.attempt);
    const QString &path = options.exportPath;
    if (savesInto(path, options.folder))
        qCWarning(lcClass).noquote() << QStringLiteral("warning: %1 is in the results folder, which pupils write into").arg(path);
    QString error;
    const ExportChoice choice{classList, options.filter.group, options.pupilPages};
    if (!exportTests(path, filterHeading(options.filter, tests.size()), tests, &error, choice))
        return fail(error);
    qCInfo(lcClass).noquote() << QStringLiteral("%1 tests written to %2; files not read: %3")
                                     .arg(QString::number(tests.size()), path, QString::number(folder.skipped().size()));
    for (const SkippedFile &f : folder.skipped())
        qCWarning(lcClass).noquote() << QStringLiteral("%1: %2").arg(f.fileName, f.problem);
    return 0;
}

QStringList arguments(int argc, char *argv[])
{
    QStringList list;
    for (int i = 1; i < argc; ++i)
        list << QString::fromLocal8Bit(argv[i]);
    return list;
}

// Reads the arguments; -1 when they are usable, else the exit status.
int parse(int argc, char *argv[], ClassArguments &options, QString &noFolder, std::optional<SchoolRules> &rules)
{
    QString error;
    if (!parseClassArguments(arguments(argc, argv), QDate::currentDate(), &options, &error))
        return fail(error);
    if (options.action == ClassArguments::Action::Help) {
        std::fputs(Usage, stdout);
        return 0;
    }
    if (options.action == ClassArguments::Action::Version) {
        std::puts("drobi " DROBI_VERSION);
        return 0;
    }
    QString folderProblem;
    const bool wanted = options.folder.isEmpty();
    const QString settingsGave = settingsFolder(argc, argv, wanted, &folderProblem, &rules);
    if (wanted) {
        options.folder = settingsGave;
        noFolder = folderProblem;
    }
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    installDiagnostics("drobi --class");
    ClassArguments options;
    QString noFolder;
    std::optional<SchoolRules> rules;
    if (const int status = parse(argc, argv, options, noFolder, rules); status >= 0)
        return status;
    // An export draws its charts without showing them: no display is needed.
    const bool display = hasDisplay() || options.platformGiven;
    if (!options.exportPath.isEmpty() && !display)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (options.exportPath.isEmpty() && !display)
        return fail(QStringLiteral("no display to open the window on; use --export FILE to write the results without one"));

    QApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    QApplication app(argc, argv);
    // Qt's own dialogs (saving an export, details) in Russian, as in the pupil's program.
    installRussianTranslations(app);
    if (!noFolder.isEmpty()) {
        // Started from the desktop menu, the teacher sees why nothing opens.
        if (options.exportPath.isEmpty())
            MsgBox(nullptr,
                   QStringLiteral("Папка с результатами класса не задана. Администратор школы указывает её в файле %1 "
                                  "([results] folder=); её можно открыть и так: drobi --class ПАПКА.")
                       .arg(QLatin1String(SystemSettingsPath)),
                   MsgBoxStyle::Critical, QStringLiteral("Дроби: результаты класса"));
        return fail(noFolder);
    }
    QApplication::setApplicationName(QStringLiteral("drobi"));
    QApplication::setDesktopFileName(QStringLiteral(DROBI_CLASS_APP_ID));
    HashStore hashes(HashStore::defaultPath());
    if (!hashes.problem().isEmpty())
        qCWarning(lcClass).noquote() << QStringLiteral("the record hashes are kept for this run only: %1").arg(hashes.problem());
    if (!options.exportPath.isEmpty())
        return runExport(options, hashes, rules, settingsClassList(argc, argv));

    ClassWindow window(options.folder, &hashes, nullptr, rules);
    window.setFilter(options.filter);
    window.setProjectorMode(options.projector);
    window.setAttemptChoice(options.attempt);
    window.setClassList(settingsClassList(argc, argv));
    window.show();
    return app.exec();
}
