// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the real window's clock and records when each tick changes the
// caption, against the monotonic clock: how far the ticks drift from a
// second apart, with the machine quiet and with every core kept busy by
// processes this harness starts and kills itself.
//
// The window is the program's own Form1, shown on the display given (Xvfb in
// bench/clock.sh), started by clicking "Начать тест". A slot connected to
// Timer1 after the form's own handler sees every caption just written.
// Paint events are counted per widget over the same stretch, so a tick that
// repaints more than the clock shows up.
//
// usage: clock_harness [--ticks N] [--busy K]
//   --ticks  ticks to record (default 60)
//   --busy   busy-looping processes to run meanwhile (default 0; "cores" = one per core)

#include "window/application.h"
#include "window/form1.h"
#include "window/form1_ui.h"

#include <QApplication>
#include <QEventLoop>
#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// Processes that spin until killed; they die with the harness, too.
std::vector<pid_t> startBusyLoops(int count)
{
    std::vector<pid_t> pids;
    for (int i = 0; i < count; ++i) {
        const pid_t pid = fork();
        if (pid == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            volatile unsigned long spins = 0;
            for (;;)
                spins = spins + 1;
        }
        if (pid > 0)
            pids.push_back(pid);
    }
    return pids;
}

void stopBusyLoops(const std::vector<pid_t> &pids)
{
    for (pid_t pid : pids)
        kill(pid, SIGKILL);
    for (pid_t pid : pids)
        waitpid(pid, nullptr, 0);
}

// Counts paint events per widget while `counting` is set.
class PaintCounter : public QObject {
public:
    bool counting = false;
    QHash<QString, int> paints;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (counting && event->type() == QEvent::Paint && watched->isWidgetType())
            ++paints[watched->objectName().isEmpty() ? QString::fromLatin1(watched->metaObject()->className())
                                                      : watched->objectName()];
        return false;
    }
};

} // namespace

int main(int argc, char *argv[])
{
    int ticks = 60;
    int busy = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--ticks" && i + 1 < argc) {
            ticks = std::max(2, std::atoi(argv[++i]));
        } else if (arg == "--busy" && i + 1 < argc) {
            const std::string value = argv[++i];
            busy = value == "cores" ? int(std::thread::hardware_concurrency()) : std::atoi(value.c_str());
        } else {
            std::fputs("usage: clock_harness [--ticks N] [--busy K|cores]\n", stderr);
            return 2;
        }
    }

    // Forked before Qt starts any thread of its own.
    const std::vector<pid_t> loops = startBusyLoops(busy);

    // The program as main() sets it up.
    prepareApplication();
    QApplication app(argc, argv);
    setUpApplication(app);
    PaintCounter counter;
    app.installEventFilter(&counter);

    Form1 form;
    form.show();
    form.activateWindow();
    QEventLoop settle;
    QTimer::singleShot(500, &settle, &QEventLoop::quit);
    settle.exec();

    std::vector<Clock::time_point> at;
    std::vector<QString> captions;
    at.reserve(ticks);
    captions.reserve(ticks);
    QEventLoop loop;
    // Connected after the form's own handler, so it runs right after the caption is written.
    QObject::connect(form.ui().Timer1, &QTimer::timeout, &loop, [&] {
        at.push_back(Clock::now());
        captions.push_back(form.ui().TL->text());
        if (int(at.size()) == ticks) // let the last caption be painted, then stop
            QTimer::singleShot(300, &loop, &QEventLoop::quit);
    });
    QTimer::singleShot((ticks + 10) * 1000, &loop, [&] {
        std::fputs("clock_harness: the clock did not tick in time\n", stderr);
        loop.quit();
    });

    const Clock::time_point clicked = Clock::now();
    form.ui().Command1->click();
    // Paints of the test's start are over well before the first tick.
    QTimer::singleShot(500, &loop, [&] { counter.counting = true; });
    loop.exec();
    counter.counting = false;
    form.ui().Timer1->stop();
    stopBusyLoops(loops);

    if (int(at.size()) < ticks) {
        std::printf("ticks recorded: %d of %d\n", int(at.size()), ticks);
        return 1;
    }

    // Tick n (from 0) is due n seconds after the first.
    double worstInterval = 0;
    double worstOffset = 0;
    for (int n = 1; n < ticks; ++n) {
        worstInterval = std::max(worstInterval, std::abs(msBetween(at[n - 1], at[n]) - 1000.0));
        const double offset = msBetween(at[0], at[n]) - 1000.0 * n;
        if (std::abs(offset) > std::abs(worstOffset))
            worstOffset = offset;
    }
    const double accumulated = msBetween(at[0], at[ticks - 1]) - 1000.0 * (ticks - 1);

    int wrongCaptions = 0;
    for (int n = 0; n < ticks; ++n) {
        if (captions[n] != form.ToTime(int16_t(600 - (n + 1))))
            ++wrongCaptions;
    }

    const char *load = busy ? "busy" : "quiet";
    std::printf("%s: %d busy processes, %d ticks, first tick %.1f ms after the click\n", load, busy, ticks,
                msBetween(clicked, at[0]));
    std::printf("%s accumulated offset: %+.2f ms after %d ticks (worst on the way %+.2f ms), target within 10 ms: %s\n",
                load, accumulated, ticks, worstOffset, std::abs(worstOffset) <= 10 ? "met" : "MISSED");
    std::printf("%s worst interval error: %.2f ms, target within 15 ms: %s\n", load, worstInterval,
                worstInterval <= 15 ? "met" : "MISSED");
    std::printf("%s captions: %d of %d as expected (last \"%s\")\n", load, ticks - wrongCaptions, ticks,
                qPrintable(captions.back()));

    QStringList painted;
    for (auto it = counter.paints.cbegin(); it != counter.paints.cend(); ++it)
        painted << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
    painted.sort();
    std::printf("%s paint events from before the first tick to after the last: %s\n", load,
                qPrintable(painted.join(QStringLiteral(", "))));
    return 0;
}
