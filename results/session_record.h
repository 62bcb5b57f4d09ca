// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A test session as its results record: what the results folder keeps of a
// graded test, or of one left unfinished (the window closed while the clock
// ran), written from the session alone.
//
// QtCore and the session: no widgets.

#include "results/result_record.h"
#include "session/session.h"

// `status` Unfinished keeps the boxes as typed and grades nothing; such a
// test finished at `now` (a graded one when it was last graded). Running,
// written at the start, grades nothing either; its `finished` is `now`, when
// it was written.
ResultRecord recordFromSession(const TestSession &session, const PupilIdentity &pupil, const QString &id,
                               ResultStatus status, TestSession::Clock::time_point now = TestSession::Clock::now(),
                               TestSession::Steady::time_point steadyNow = TestSession::Steady::now());
