// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Ending the program: on request (the menu's exit), and on a runtime error.
//
// A runtime error (16-bit overflow, an index outside a control array, or any
// other exception) must never be swallowed, and it must never unwind through
// the toolkit's event dispatch. Every event handler of the window therefore
// runs inside runGuarded(), which reports the error on stderr and in a
// message box, then ends the process with a non-zero status.

#include <exception>

// Leaves the application's event loop: the window closes and the program ends.
void EndProgram();

// Reports the error (stderr, then a modal message box when a GUI runs) and
// ends the process with its exit status: 6 for overflow, 9 for a subscript
// error, 1 for anything else.
[[noreturn]] void reportRuntimeError(const std::exception &error);

// True once a runtime error is being reported: handlers do nothing more.
bool runtimeErrorPending();

template <class Handler>
void runGuarded(Handler &&handler)
{
    if (runtimeErrorPending())
        return;
    try {
        handler();
    } catch (const std::exception &error) {
        reportRuntimeError(error);
    }
}
