// SPDX-License-Identifier: GPL-3.0-or-later
// Runs a command that acts on a running program (a key sent with xdotool, a
// signal) and measures how long until the X server maps a new top-level
// window of that program, or, with --gone, until a given window of it is
// unmapped or destroyed.
//
// It listens, it does not poll: the root window's SubstructureNotify events
// are selected (and the server has confirmed it) before the command starts,
// so every map and unmap of a top-level window reaches us. The clock starts
// just before fork() and stops when the event is read from the connection;
// the command's own start (an xdotool process) is part of the figure.
//
// Prints one line: ms=<elapsed>
//
// usage: window_timer --pid PID [--gone WINDOW] [--timeout-ms N] -- command [args...]
//   --pid         the program whose new window (_NET_WM_PID) ends the wait
//   --gone        wait instead for this window (decimal or 0x id) to go
//   --timeout-ms  give up after N ms (default 30000), exit status 2

#include "xcb_window.h"

#include <xcb/xcb.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

double nowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

[[noreturn]] void die(const char *what, int status = 1)
{
    std::fprintf(stderr, "window_timer: %s\n", what);
    std::exit(status);
}

struct Options {
    uint32_t pid = 0;
    xcb_window_t gone = 0;
    long timeoutMs = 30000;
    int first = 0;
};

Options parse(int argc, char *argv[])
{
    Options o;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--") {
            ++i;
            break;
        }
        if (arg == "--pid" && i + 1 < argc)
            o.pid = uint32_t(std::strtoul(argv[++i], nullptr, 0));
        else if (arg == "--gone" && i + 1 < argc)
            o.gone = xcb_window_t(std::strtoul(argv[++i], nullptr, 0));
        else if (arg == "--timeout-ms" && i + 1 < argc)
            o.timeoutMs = std::atol(argv[++i]);
        else
            die("usage: window_timer --pid PID [--gone WINDOW] [--timeout-ms N] -- command [args...]");
    }
    if (i >= argc || (o.pid == 0 && o.gone == 0))
        die("no command, or neither --pid nor --gone");
    o.first = i;
    return o;
}

// Whether the event is the one waited for.
bool awaited(xcb_connection_t *c, const xcb_generic_event_t *event, const Options &o, xcb_atom_t netWmPid)
{
    switch (event->response_type & 0x7f) {
    case XCB_MAP_NOTIFY: {
        const auto *map = reinterpret_cast<const xcb_map_notify_event_t *>(event);
        return o.gone == 0 && windowPid(c, map->window, netWmPid) == o.pid;
    }
    case XCB_UNMAP_NOTIFY:
        return o.gone != 0 && reinterpret_cast<const xcb_unmap_notify_event_t *>(event)->window == o.gone;
    case XCB_DESTROY_NOTIFY:
        return o.gone != 0 && reinterpret_cast<const xcb_destroy_notify_event_t *>(event)->window == o.gone;
    default:
        return false;
    }
}

} // namespace

int main(int argc, char *argv[])
{
    const Options o = parse(argc, argv);
    int screenNumber = 0;
    xcb_connection_t *c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c))
        die("cannot open the display");
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
        close(xcb_get_file_descriptor(c));
        execvp(argv[o.first], argv + o.first);
        std::fprintf(stderr, "window_timer: cannot start %s: %s\n", argv[o.first], std::strerror(errno));
        _exit(127);
    }
    for (;;) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(c)) {
            const double seen = nowMs();
            const bool done = awaited(c, event, o, netWmPid);
            std::free(event);
            if (done) {
                std::printf("ms=%.1f\n", seen - start);
                waitpid(child, nullptr, 0);
                return 0;
            }
        }
        if (xcb_connection_has_error(c))
            die("lost the display");
        const long left = long(start + o.timeoutMs - nowMs());
        if (left <= 0)
            die("timed out", 2);
        pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
        poll(&fd, 1, int(left));
    }
}
