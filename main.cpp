// SPDX-License-Identifier: GPL-3.0-or-later
// drobi: a timed classroom test on multiplying and dividing fractions.

#include "class_launcher.h"
#include "results/class_list.h"
#include "results/diagnostics.h"
#include "results/results_courier.h"
#include "results/school_settings.h"
#include "results/settings_check.h"
#include "window/application.h"
#include "window/form1.h"
#include "window/practice_window.h"
#include "window/pupil_dialog.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QTime>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace {

Q_LOGGING_CATEGORY(lcStart, "drobi.start")

int g_endRequests[2] = {-1, -1};

// A logout or shutdown ends the program with SIGTERM (or SIGHUP): the window
// is closed as if the pupil had closed it, so that a running test is kept
// for the teacher, unfinished, instead of being lost with the process. The
// handler only writes a byte; the window's thread does the rest.
void closeOnSignal(QWidget &window)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_endRequests) != 0)
        return;
    auto *notifier = new QSocketNotifier(g_endRequests[1], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window, notifier] {
        char byte;
        [[maybe_unused]] const ssize_t n = ::read(g_endRequests[1], &byte, 1);
        notifier->setEnabled(false);
        window.close();
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = [](int) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = ::write(g_endRequests[0], &byte, 1);
    };
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

// Whether Qt has somewhere to open the window. Only when none of the ways it
// could find a display is present do we say so ourselves, in one line,
// instead of the toolkit's longer report.
bool displayAvailable(int argc, char *argv[])
{
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET", "QT_QPA_PLATFORM"}) {
        if (std::getenv(name))
            return true;
    }
    // An explicit platform (offscreen, vnc...) needs no display of its own.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return true;
    }
    return false;
}

const char HelpHead[] = "Usage: drobi [--settings FILE]\n"
                        "       drobi --practice [--settings FILE]\n"
                        "       drobi --check-settings [--settings FILE]\n"
                        "A timed classroom test on multiplying and dividing common fractions,\n"
                        "in Russian. It opens one window. Without a school's settings file it reads\n"
                        "no other files and stores nothing.\n"
                        "\n"
                        "  --class [FOLDER] ...  the teacher's class window (drobi --class --help)\n"
                        "  --practice        «Работа над ошибками»: a short check of one task of\n"
                        "                    each kind, then practice on the kinds it found wrong\n"
                        "  --help            print this text and exit\n"
                        "  --version         print the version and exit\n"
                        "  --settings FILE   read the school's settings from FILE instead of\n"
                        "                    /etc/xdg/drobi/drobi.conf; refused for a test while\n"
                        "                    that file exists, unless run by root\n"
                        "  --check-settings  name every problem of the settings, one line each, try\n"
                        "                    the results folder with a probe file, and exit non-zero\n"
                        "                    on any problem\n"
                        "\n"
                        "Settings (INI):\n";
const char HelpTail[] = "\n"
                        "Qt's own options (such as -platform) are passed on.\n"
                        "The desktop entry is " DROBI_APP_ID ".desktop; see drobi(1).\n";

// `--help` and `--version` print and end the program, as every packaged
// program's do, before any display is needed; so does the administrator's
// `--check-settings`. `--settings FILE` is read by loadSchoolSettings();
// every other argument is left to Qt as before. Returns the exit status, or
// -1 when none of these was asked for.
int printAndExit(int argc, char *argv[])
{
    QByteArray text;
    for (int i = 1; i < argc && text.isEmpty(); ++i) {
        if (std::strcmp(argv[i], "--version") == 0)
            text = "drobi " DROBI_VERSION "\n";
        else if (std::strcmp(argv[i], "--help") == 0)
            text = HelpHead + settingsHelp().toUtf8() + HelpTail;
        else if (std::strcmp(argv[i], "--check-settings") == 0)
            return checkSchoolSettings(argc, argv, stdout);
    }
    if (text.isEmpty())
        return -1;
    // A text that could not be written (a full disk, a closed pipe) is a failure.
    return std::fwrite(text.constData(), 1, size_t(text.size()), stdout) == size_t(text.size()) && std::fflush(stdout) == 0
               ? 0
               : 1;
}

bool asksPractice(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--practice") == 0)
            return true;
    }
    return false;
}

// Who practises, when the school collects results; nullopt when the pupil
// cancels the name.
std::optional<PupilIdentity> practisingPupil(const SchoolSettings &settings)
{
    ClassList classes;
    if (settings.nameSource == PupilNameSource::Ask && !settings.classList.isEmpty()) {
        QString problem;
        if (!readClassList(settings.classList, &classes, &problem))
            logSettingsProblems({problem});
    }
    return identifyPupil(nullptr, settings, classes.isEmpty() ? nullptr : &classes);
}

// `drobi --practice`: the short check, then practice on what it found, in
// the practice window alone. With results collected, the name is asked as
// for a test and the practice's record goes to the results folder.
int runPractice(QApplication &app, const SchoolSettings &settings)
{
    auto random = std::make_unique<StdRandomSource>();
    random->Randomize(QTime::currentTime().msecsSinceStartOfDay() / 1000.0);
    PracticeWindow window(std::move(random));
    std::unique_ptr<ResultsCourier> courier;
    if (settings.resultsOn()) {
        const std::optional<PupilIdentity> pupil = practisingPupil(settings);
        if (!pupil)
            return 0;
        courier = std::make_unique<ResultsCourier>(settings.folder);
        courier->start();
        keepPractice(&window, courier.get(), *pupil, QString());
    }
    closeOnSignal(window);
    window.startCheck();
    window.show();
    return app.exec();
}

} // namespace

int main(int argc, char *argv[])
{
    installDiagnostics("drobi");
    // The teacher's class window is a program of its own: see class_launcher.h.
    if (const int status = handOverToClassView(argc, argv); status >= 0)
        return status;
    if (const int status = printAndExit(argc, argv); status >= 0)
        return status;
    if (!displayAvailable(argc, argv)) {
        qCCritical(lcStart, "no display to open the window on (DISPLAY and WAYLAND_DISPLAY are unset); "
                            "start it from a desktop session, or without one as: xvfb-run -a drobi");
        return 1;
    }

    // The school's settings; their problems are printed on stderr and
    // never stop the test. With no settings file this only looks whether
    // /etc/xdg/drobi/drobi.conf exists. Only --settings naming another file
    // for a test, where the school has its own, stops here.
    SchoolSettings settings;
    QString error;
    if (!loadSchoolSettings(argc, argv, SettingsUse::Test, &settings, &error)) {
        qCCritical(lcSettings).noquote() << error;
        return 1;
    }
    logSettingsProblems(settings.problems);

    prepareApplication();
    QApplication app(argc, argv);
    setUpApplication(app);
    if (asksPractice(argc, argv))
        return runPractice(app, settings);
    Form1 form(nullptr, settings);
    closeOnSignal(form);
    form.show();
    return app.exec();
}
