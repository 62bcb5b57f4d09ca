// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The school's class lists: one file the administrator keeps (named by
// `[results] classes=FILE`), one pupil a line, the class and the name
// separated by ";" or a tab, as a school register exports it. UTF-8 (with or
// without a byte-order mark) or, when the bytes are not UTF-8, the Windows
// Cyrillic code page (1251) that older registers write. Further fields are
// joined to the name with spaces ("6Б;Иванова;Анна"); a quoted field loses
// its quotes; blank lines and lines starting with "#" are skipped, and so is
// a first line that names its columns («Класс;Ученик»). A line that gives no
// class or no name is named in `problems` and left out.
//
// A class is written the same way everywhere, whoever typed it: «6б», «6 Б»,
// «6-Б» and «6 Б класс» are all «6Б» (normalClassName), so a filter by
// class finds every pupil of it.
//
// QtCore only.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// A class's name as the school writes it: the number, then the letter in
// upper case, nothing between; Latin letters that look like Cyrillic ones
// («6a», «6B») read as those. Text that is not a class is kept, trimmed and
// upper case.
QString normalClassName(const QString &typed);
// A pupil's name as names are compared: without case and extra spaces, so
// «иванова  анна» typed is «Иванова Анна» listed.
QString pupilNameKey(const QString &name);

struct ClassList {
    struct Pupil {
        QString className;
        QString name;
    };
    // In the file's order; each pupil once.
    QList<Pupil> pupils;
    // Lines left out and why, in Russian, one a line.
    QStringList problems;

    bool isEmpty() const { return pupils.isEmpty(); }
    // The classes, sorted by number, then letter.
    QStringList classes() const;
    // A class's pupils in the file's order.
    QStringList namesIn(const QString &className) const;
};

// The list held in `bytes`.
ClassList parseClassList(const QByteArray &bytes);

// Reads the file; false, with the reason in `error` (Russian), when it
// cannot be read.
bool readClassList(const QString &path, ClassList *list, QString *error);
