// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One pupil's test as the class window shows it on a double click or Enter:
// the ten tasks, what was typed, the right answer, the verdict, and the
// explanation and worked solution the pupil saw, with «Проверка» and its
// reasons. Everything taken from the record is escaped, and the view opens
// no link: a pupil's text is shown as the text it is.

#include "classview/class_model.h"

#include <QList>
#include <QString>

#include <optional>

class QDialog;
class QWidget;

// The test as HTML for the view.
QString pupilTestHtml(const ShownTest &test);

// One task as plain text, as the view writes it (the pupils' pages print
// the same): the task, what was typed, the right answer, the verdict
// («верно», «неверно», «не проверено», or «?» for a task the program does not
// make), the explanation and the worked solution.
struct PupilTaskText {
    QString task;
    QString typed;
    QString answer;
    QString verdict;
    // Whether it is right, once graded.
    std::optional<bool> right;
    QString explanation;
    QString solution;
};
// The ten tasks of `test`, graded again.
QList<PupilTaskText> pupilTaskTexts(const ShownTest &test);

// Opens the test in a window of its own over `parent`, titled with the
// name shown («Ученик N» in projector mode); it deletes itself when closed.
QDialog *openPupilTest(const ShownTest &test, QWidget *parent);
