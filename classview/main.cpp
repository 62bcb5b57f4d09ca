// SPDX-License-Identifier: GPL-3.0-or-later
// drobi-class: the teacher's class window, started as `drobi --class`.
//
//   drobi-class [FOLDER] [--settings FILE] [--export FILE.csv|.xlsx|.pdf]
//               [--date YYYY-MM-DD|all] [--group CLASS] [--projector]
//
// Without FOLDER the results folder comes from the school settings file,
// [results] folder= in /etc/xdg/drobi/drobi.conf (or the file --settings
// names), read as the pupil's program reads it. With --export the table
// (or, for .pdf, the summary and the table) is written without opening a
// window, also without a display.

#include "classview/class_report.h"
#include "classview/class_window.h"
#include "classview/table_export.h"
#include "results/school_settings.h"
#include "runtime/message_box.h"
#include "runtime/translations.h"

#include <QApplication>
#include <QDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char *const Usage =
    "Usage: drobi --class [FOLDER] [--settings FILE] [--export FILE.csv|FILE.xlsx|FILE.pdf]\n"
    "                     [--date YYYY-MM-DD|all] [--group CLASS] [--projector]\n"
    "The teacher's class window: the tests in the results folder (FOLDER, or\n"
    "[results] folder= of /etc/xdg/drobi/drobi.conf, or of FILE with\n"
    "--settings), graded again, with the class summary. With --export, writes\n"
    "the table (CSV, XLSX) or the summary and the table (PDF) for the day\n"
    "(today unless --date; all for every day) and the class given, and exits;\n"
    "no display is needed. --projector hides the pupils' names.\n";

// Qt's own command-line options that take a value.
const QStringList QtOptionsWithValue{
    QStringLiteral("-platform"),      QStringLiteral("-platformpluginpath"), QStringLiteral("-platformtheme"),
    QStringLiteral("-plugin"),        QStringLiteral("-display"),            QStringLiteral("-style"),
    QStringLiteral("-stylesheet"),    QStringLiteral("-qwindowgeometry"),    QStringLiteral("-qwindowtitle"),
    QStringLiteral("-qwindowicon"),   QStringLiteral("-session"),
};

struct Options {
    QString folder;
    QString exportPath;
    ClassFilter filter;
    bool projector = false;
    // -platform names where Qt draws: no display is needed then.
    bool platformGiven = false;
    // Why there is no folder to read, when none was given or set.
    QString noFolder;
};

int fail(const QString &message)
{
    std::fprintf(stderr, "drobi --class: %s\n", message.toLocal8Bit().constData());
    return 2;
}

// Parses the arguments; -1 when they are usable, else the exit status.
int parse(int argc, char *argv[], Options &o)
{
    o.filter.date = QDate::currentDate();
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        const auto value = [&]() -> std::optional<QString> {
            if (i + 1 >= argc)
                return std::nullopt;
            return QString::fromLocal8Bit(argv[++i]);
        };
        if (arg == QLatin1String("--help")) {
            std::fputs(Usage, stdout);
            return 0;
        } else if (arg == QLatin1String("--version")) {
            std::puts("drobi " DROBI_VERSION);
            return 0;
        } else if (arg == QLatin1String("--export")) {
            const auto v = value();
            if (!v || !(v->endsWith(QLatin1String(".csv"), Qt::CaseInsensitive) || v->endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive)
                        || v->endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)))
                return fail(QStringLiteral("--export needs a file ending in .csv, .xlsx or .pdf"));
            o.exportPath = *v;
        } else if (arg == QLatin1String("--date")) {
            const auto v = value();
            if (v && *v == QLatin1String("all")) {
                o.filter.date = QDate();
                continue;
            }
            o.filter.date = v ? QDate::fromString(*v, Qt::ISODate) : QDate();
            if (!o.filter.date.isValid())
                return fail(QStringLiteral("--date needs YYYY-MM-DD or all"));
        } else if (arg == QLatin1String("--group")) {
            const auto v = value();
            if (!v)
                return fail(QStringLiteral("--group needs a class, such as 6Б"));
            o.filter.group = v->trimmed();
        } else if (arg == QLatin1String("--settings")) {
            // Read below, as the pupil's program reads it.
            ++i;
        } else if (arg == QLatin1String("--projector")) {
            o.projector = true;
        } else if (QtOptionsWithValue.contains(arg)) {
            // Qt's own options are left to it, with their values.
            o.platformGiven = o.platformGiven || arg == QLatin1String("-platform");
            ++i;
        } else if (arg.startsWith(QLatin1Char('-'))) {
            if (arg != QLatin1String("-reverse"))
                return fail(QStringLiteral("unknown option %1 (see --help)").arg(arg));
        } else if (o.folder.isEmpty()) {
            o.folder = arg;
        } else {
            return fail(QStringLiteral("unexpected argument: %1").arg(arg));
        }
    }
    if (o.folder.isEmpty()) {
        QString error;
        const QString file = settingsFileFromArguments(argc, argv, &error);
        const SchoolSettings settings = readSchoolSettings(file, file != QLatin1String(SystemSettingsPath));
        o.folder = settings.folder;
        if (o.folder.isEmpty()) {
            for (const QString &problem : (error.isEmpty() ? QStringList() : QStringList{error}) + settings.problems)
                std::fprintf(stderr, "drobi --class: %s\n", problem.toLocal8Bit().constData());
            o.noFolder = QStringLiteral("no results folder given, and none usable in %1 ([results] folder=)").arg(file);
        }
    }
    return -1;
}

bool hasDisplay()
{
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET", "QT_QPA_PLATFORM"}) {
        if (std::getenv(name))
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    Options options;
    if (const int status = parse(argc, argv, options); status >= 0)
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
    if (!options.noFolder.isEmpty()) {
        // Started from the desktop menu, the teacher sees why nothing opens.
        if (options.exportPath.isEmpty())
            MsgBox(nullptr,
                   QStringLiteral("Папка с результатами класса не задана. Администратор школы указывает её в файле %1 "
                                  "([results] folder=); её можно открыть и так: drobi --class ПАПКА.")
                       .arg(QLatin1String(SystemSettingsPath)),
                   MsgBoxStyle::Critical, QStringLiteral("Дроби: результаты класса"));
        return fail(options.noFolder);
    }
    QApplication::setApplicationName(QStringLiteral("drobi"));
    QApplication::setDesktopFileName(QStringLiteral(DROBI_CLASS_APP_ID));
    HashStore hashes(HashStore::defaultPath());
    if (!hashes.problem().isEmpty())
        std::fprintf(stderr, "drobi --class: the record hashes are kept for this run only: %s\n",
                     hashes.problem().toLocal8Bit().constData());

    if (!options.exportPath.isEmpty()) {
        ResultsFolder folder(options.folder, &hashes);
        folder.refresh();
        if (!folder.folderProblem().isEmpty())
            return fail(folder.folderProblem());
        const QList<ShownTest> tests = selectTests(folder.entries(), options.filter, options.projector);
        QString error;
        const QString path = options.exportPath;
        if (path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive)) {
            error = writeCsv(path, tests);
        } else if (path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive)) {
            error = writeXlsx(path, tests, summarize(tests));
        } else {
            const QString heading = QStringLiteral("Класс: %1. Дата: %2. Тестов: %3.")
                                        .arg(options.filter.group.isEmpty() ? QStringLiteral("все") : options.filter.group,
                                             options.filter.date.isValid()
                                                 ? options.filter.date.toString(QStringLiteral("dd.MM.yyyy"))
                                                 : QStringLiteral("все дни"))
                                        .arg(tests.size());
            error = writePdf(path, heading, tests, summarize(tests));
        }
        if (!error.isEmpty())
            return fail(error);
        std::fprintf(stderr, "drobi --class: %lld tests written to %s; files not read: %lld\n",
                     static_cast<long long>(tests.size()), path.toLocal8Bit().constData(),
                     static_cast<long long>(folder.skipped().size()));
        for (const SkippedFile &f : folder.skipped())
            std::fprintf(stderr, "  %s: %s\n", f.fileName.toLocal8Bit().constData(), f.problem.toLocal8Bit().constData());
        return 0;
    }

    ClassWindow window(options.folder, &hashes);
    window.setFilter(options.filter);
    window.setProjectorMode(options.projector);
    window.show();
    return app.exec();
}
