// SPDX-License-Identifier: GPL-3.0-or-later
// Starts a program and measures how long it takes until the X server maps its
// top-level window; optionally reads its resident memory a while later.
//
// It listens, it does not poll: before the program starts, the root window's
// SubstructureNotify events are selected (and the server has confirmed it),
// so every MapNotify of a top-level window reaches us. The first one whose
// _NET_WM_PID is the child's pid ends the wait. The clock starts just before
// fork() and stops when that event is read from the connection. cpu_ms is
// the CPU time the program (all its threads) had used by then: unlike the
// elapsed time, it does not grow while other processes hold the cores.
//
// Prints one line:
//   pid=<pid> map_ms=<ms> cpu_ms=<ms> [rss_kb=<VmRSS> anon_kb=<RssAnon> file_kb=<RssFile> shmem_kb=<RssShmem>]
//
// usage: map_timer [--rss-after-ms N] [--timeout-ms N] [--keep] -- program [args...]
//   --rss-after-ms  read /proc/<pid>/status N ms after the map
//   --timeout-ms    give up when no window is mapped in N ms (default 30000)
//   --keep          leave the program running (default: SIGTERM and reap it)

#include "xcb_window.h"

#include <xcb/xcb.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <memory>
#include <poll.h>
#include <string>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

double cpuMsOf(pid_t pid)
{
    clockid_t clock;
    timespec ts{};
    if (clock_getcpuclockid(pid, &clock) != 0 || clock_gettime(clock, &ts) != 0)
        return -1;
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double nowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

[[noreturn]] void die(const char *what)
{
    std::fprintf(stderr, "map_timer: %s\n", what);
    std::exit(1);
}

// The memory lines of /proc/<pid>/status, in kB, by name.
std::map<std::string, long> memoryOf(pid_t pid)
{
    std::map<std::string, long> kb;
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line)) {
        const auto colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        const std::string key = line.substr(0, colon);
        if (key == "VmRSS" || key == "RssAnon" || key == "RssFile" || key == "RssShmem")
            kb[key] = std::atol(line.c_str() + colon + 1);
    }
    return kb;
}

void sleepMs(long ms)
{
    timespec ts{ms / 1000, (ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

} // namespace

int main(int argc, char *argv[])
{
    long rssAfterMs = -1;
    long timeoutMs = 30000;
    bool keep = false;
    int first = 1;
    for (; first < argc; ++first) {
        const std::string arg = argv[first];
        if (arg == "--") {
            ++first;
            break;
        }
        if (arg == "--rss-after-ms" && first + 1 < argc)
            rssAfterMs = std::atol(argv[++first]);
        else if (arg == "--timeout-ms" && first + 1 < argc)
            timeoutMs = std::atol(argv[++first]);
        else if (arg == "--keep")
            keep = true;
        else
            die("usage: map_timer [--rss-after-ms N] [--timeout-ms N] [--keep] -- program [args...]");
    }
    if (first >= argc)
        die("no program given");

    int screenNumber = 0;
    xcb_connection_t *c = xcb_connect(nullptr, &screenNumber);
    if (const int error = xcb_connection_has_error(c)) {
        std::fprintf(stderr, "map_timer: cannot open the display %s (xcb error %d)\n", std::getenv("DISPLAY"), error);
        return 1;
    }
    const int xfd = xcb_get_file_descriptor(c);
    fcntl(xfd, F_SETFD, FD_CLOEXEC);
    const xcb_atom_t netWmPid = internAtom(c, "_NET_WM_PID");
    if (netWmPid == XCB_ATOM_NONE)
        die("cannot intern _NET_WM_PID");
    const xcb_window_t root = watchedRoot(c, screenNumber);
    if (root == XCB_WINDOW_NONE)
        die("cannot select SubstructureNotify on the root window");

    const double start = nowMs();
    const pid_t child = fork();
    if (child < 0)
        die("fork failed");
    if (child == 0) {
        execvp(argv[first], argv + first);
        std::fprintf(stderr, "map_timer: cannot start %s: %s\n", argv[first], std::strerror(errno));
        _exit(127);
    }

    // The child's end is seen on a pidfd, so one poll() waits for both.
    const int pidfd = int(syscall(SYS_pidfd_open, child, 0));

    double mappedAt = -1;
    double cpuAtMap = -1;
    while (mappedAt < 0) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(c)) {
            const double seen = nowMs();
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
                const auto *map = reinterpret_cast<const xcb_map_notify_event_t *>(event);
                if (map->event == root && windowPid(c, map->window, netWmPid) == uint32_t(child)) {
                    mappedAt = seen;
                    cpuAtMap = cpuMsOf(child);
                }
            }
            std::free(event);
            if (mappedAt >= 0)
                break;
        }
        if (mappedAt >= 0)
            break;
        if (xcb_connection_has_error(c))
            die("lost the display");
        const long left = long(start + timeoutMs - nowMs());
        if (left <= 0) {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
            die("no window was mapped in time");
        }
        pollfd fds[2] = {{xfd, POLLIN, 0}, {pidfd, POLLIN, 0}};
        const int ready = poll(fds, pidfd >= 0 ? 2 : 1, int(left));
        if (ready > 0 && pidfd >= 0 && (fds[1].revents & POLLIN)) {
            waitpid(child, nullptr, 0);
            die("the program ended before its window was mapped");
        }
    }

    std::printf("pid=%d map_ms=%.2f cpu_ms=%.2f", int(child), mappedAt - start, cpuAtMap);
    if (rssAfterMs >= 0) {
        const long wait = long(mappedAt + rssAfterMs - nowMs());
        if (wait > 0)
            sleepMs(wait);
        auto kb = memoryOf(child);
        std::printf(" rss_kb=%ld anon_kb=%ld file_kb=%ld shmem_kb=%ld", kb["VmRSS"], kb["RssAnon"], kb["RssFile"],
                    kb["RssShmem"]);
    }
    std::printf("\n");
    std::fflush(stdout);

    if (!keep) {
        kill(child, SIGTERM);
        waitpid(child, nullptr, 0);
    }
    xcb_disconnect(c);
    return 0;
}
