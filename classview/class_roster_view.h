// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The class list tab: every pupil of the chosen class on the chosen day,
// from the school's class lists (class_roster.h), with «не начинал»,
// «пишет тест, N мин», «сдал» or «не закончил». Hidden in projector mode,
// where it would name the pupils.

#include "classview/class_model.h"
#include "results/class_list.h"

#include <QWidget>

class QLabel;
class QTableWidget;

class RosterView : public QWidget {
    Q_OBJECT

public:
    explicit RosterView(QWidget *parent = nullptr);

    void setClassList(const ClassList &list) { m_list = list; }
    const ClassList &classList() const { return m_list; }
    // The class and day of `filter` (the name search aside) among `entries`.
    void showRoster(const QList<EntryPtr> &entries, const ClassFilter &filter, bool projector);
    QTableWidget *table() const { return m_table; }

private:
    ClassList m_list;
    QLabel *m_note = nullptr;
    QTableWidget *m_table = nullptr;
};
