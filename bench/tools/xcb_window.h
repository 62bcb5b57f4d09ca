// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the benchmarks' X clients ask the server about a window: an atom by
// its name, the process a window belongs to (_NET_WM_PID), and the root
// window of the screen watched for windows being made and mapped.

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

// The atom named `name`; XCB_ATOM_NONE when the server gives none.
inline xcb_atom_t internAtom(xcb_connection_t *c, const char *name)
{
    const auto cookie = xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(xcb_intern_atom_reply(c, cookie, nullptr),
                                                                         &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The window's _NET_WM_PID, or 0 when it has none (or is already gone).
inline uint32_t windowPid(xcb_connection_t *c, xcb_window_t window, xcb_atom_t netWmPid)
{
    const auto cookie = xcb_get_property(c, 0, window, netWmPid, XCB_ATOM_CARDINAL, 0, 1);
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(xcb_get_property_reply(c, cookie, nullptr),
                                                                          &std::free);
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4)
        return 0;
    return *static_cast<const uint32_t *>(xcb_get_property_value(reply.get()));
}

// The root window of screen `screenNumber`, with SubstructureNotify
// selected on it: checked, so the selection is in force at the server
// before a child is started. XCB_WINDOW_NONE when the server refuses.
inline xcb_window_t watchedRoot(xcb_connection_t *c, int screenNumber)
{
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    const xcb_window_t root = screens.data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    if (xcb_generic_error_t *error =
            xcb_request_check(c, xcb_change_window_attributes_checked(c, root, XCB_CW_EVENT_MASK, &mask))) {
        std::free(error);
        return XCB_WINDOW_NONE;
    }
    return root;
}
