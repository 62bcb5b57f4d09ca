// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Workarounds for gaps between what Qt sends on the accessibility bus and
// what Orca expects, made for Qt 6.4.2 and Orca 43.1 as Debian 12 ships them
// (scripts/orca_check.sh shows what they fix). They are kept apart from the
// rules every control follows (accessible_controls.h), so that each can go
// once the versions that need it are gone. No upstream report of either gap
// was found; the source says what each one works around.
//
// They are compiled only against Qt 6.4.2, the version they were made and
// tried for; built with any other Qt, every event passes untouched. On Qt
// 6.4.2, DROBI_NO_SCREEN_READER_WORKAROUNDS=1 in the environment turns them
// off, to tell a gap in Qt or Orca from a fault of the program. The rule that
// keeps hidden controls silent is not a workaround and stays on.

class QAccessibleEvent;

// Called for each event that may reach screen readers, before it is handed
// on; false drops the event.
bool passScreenReaderWorkarounds(QAccessibleEvent *event);
