// SPDX-License-Identifier: GPL-3.0-or-later
#include "classview/class_roster_view.h"

#include "classview/class_roster.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

RosterView::RosterView(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    m_note = new QLabel;
    m_note->setTextFormat(Qt::PlainText);
    m_note->setWordWrap(true);
    layout->addWidget(m_note);
    m_table = new QTableWidget(0, 2);
    m_table->setObjectName(QStringLiteral("roster"));
    m_table->setAccessibleName(QStringLiteral("Список класса"));
    m_table->setHorizontalHeaderLabels({QStringLiteral("Ученик"), QStringLiteral("Состояние")});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->verticalHeader()->setVisible(false);
    m_table->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_table);
}

void RosterView::showRoster(const QList<EntryPtr> &entries, const ClassFilter &filter, bool projector)
{
    QList<RosterRow> rows;
    if (m_list.isEmpty())
        m_note->setText(QStringLiteral("Списки классов не заданы (в настройках школы: [results] classes=)."));
    else if (projector)
        m_note->setText(QStringLiteral("В режиме проектора список класса скрыт."));
    else if (filter.group.isEmpty())
        m_note->setText(QStringLiteral("Выберите класс."));
    else {
        ClassFilter day = filter;
        day.nameSearch.clear();
        rows = classRoster(m_list, filter.group, selectTests(entries, day, false), QDateTime::currentDateTime());
        m_note->setText(QStringLiteral("Класс %1: учеников в списке %2.").arg(normalClassName(filter.group)).arg(rows.size()));
    }
    m_table->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        m_table->setItem(r, 0, new QTableWidgetItem(rows[r].name));
        m_table->setItem(r, 1, new QTableWidgetItem(rows[r].state));
    }
    m_table->resizeColumnToContents(0);
}
