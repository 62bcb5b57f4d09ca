// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every text the window shows, exactly as the design gives it, and how it
// writes numbers.

#include "runtime/checked16.h"

#include <QString>

namespace Messages {

inline const QString Caption = QStringLiteral("Тест для 6 класса на тему \"Умноженния и деление обыкновенных дробей\"");
inline const QString Instructions = QStringLiteral(
    "Всего заданий 10, каждое представляет собой умножение либо деление обыкновенных дробей. "
    "Ответы следует вводить в белые поля. Для ввода целых чисел оставляйте поля ввода числителя и "
    "знаменателя пустыми. Не забывайте сокращать дроби и выделять целую часть. Задание расчитано на "
    "10 минут. Для начала тестирования нажмите кнопку \"Начать тест\".");

// The instructions for a test of another length than ten minutes, as a
// school may set it: "расчитано на 1 минуту", "на 22 минуты", "на 45 минут".
inline QString instructions(int minutes)
{
    const int last = minutes % 10, lastTwo = minutes % 100;
    const QString unit = last == 1 && lastTwo != 11                                    ? QStringLiteral("минуту")
                         : last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14) ? QStringLiteral("минуты")
                                                                                    : QStringLiteral("минут");
    QString text = Instructions;
    return text.replace(QStringLiteral("на 10 минут."), QStringLiteral("на %1 %2.").arg(minutes).arg(unit));
}

inline const QString Menu = QStringLiteral("Меню");
inline const QString Thanks = QStringLiteral("Благодарности");
inline const QString Author = QStringLiteral("Автор");
inline const QString Exit = QStringLiteral("Выход");

inline const QString ThanksLine1 = QStringLiteral("Большое спасибо Павлу Андреевичу за поддержку и помощь");
inline const QString ThanksLine2 = QStringLiteral("Ольге Николаевне за идею, доброту и помощь в устранении ошибок.");
inline const QString AuthorLine = QStringLiteral("Автором данной программы является Ветров Игорь, aka Сизый Грач");

inline const QString Right = QStringLiteral("Ответ верный.");
inline const QString Wrong = QStringLiteral("Ответ неверный.");

inline const QString Grade5 = QStringLiteral("5. Отличная работа");
inline const QString Grade4 = QStringLiteral("4. Неплохо");
inline const QString Grade3 = QStringLiteral("3. Старайтесь быть повнимательнее");
inline const QString Grade2 = QStringLiteral("2. Вам нужно повторить тему");

inline const QString YourGrade = QStringLiteral("Ваша оценка ");
inline const QString TimeUp = QStringLiteral("Время вышло. Ваша оценка ");
inline const QString ResultTitle = QStringLiteral("Результат теста");

// Captions of the design.
inline const QString TimeLeft = QStringLiteral("Осталось времени");
inline const QString ClockDesign = QStringLiteral("00:00:00");
inline const QString Start = QStringLiteral("Начать тест");
inline const QString Done = QStringLiteral("Готово!");
inline const QString Tasks = QStringLiteral("Задания");
inline const QString Answers = QStringLiteral("Ответы");
inline const QString RightCount = QStringLiteral("Правильных ответов");
inline const QString WrongCount = QStringLiteral("Неправильных ответов");
inline const QString Equals = QStringLiteral("=");
inline const QString GradeDesign = QStringLiteral("2");
// The acknowledgements box has a blank title.
inline const QString ThanksTitle = QStringLiteral(" ");

// Before a verdict's worked solution.
inline const QString Solution = QStringLiteral("Решение: ");

// What a screen reader hears beyond the captions.
inline QString task(int row) { return QStringLiteral("Задание %1").arg(row + 1); }
inline const QString WholePart = QStringLiteral(", целая часть");
inline const QString Numerator = QStringLiteral(", числитель");
inline const QString Denominator = QStringLiteral(", знаменатель");
inline const QString Grade = QStringLiteral("Оценка");
inline const QString TimesSpoken = QStringLiteral(" умножить на ");
inline const QString DividedSpoken = QStringLiteral(" разделить на ");

// A number as the window writes it: "-5", "12".
inline QString number(int value) { return QString::fromStdString(toText(value)); }

// Spoken by screen readers as the clock runs out, in place of its red blink.
inline const QString OneMinuteLeft = QStringLiteral("Осталась одна минута");
inline const QString HalfMinuteLeft = QStringLiteral("Осталось 30 секунд");

} // namespace Messages
