// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The line the grade's message box adds to say where the result went. The
// box opens with what is known then (the result on its way) and the line
// changes in place when the delivery ends.

#include <QString>

namespace ResultMessages {

// On its way to the folder, kept on this computer meanwhile.
inline const QString Delivering = QStringLiteral("Результат сохранён на этом компьютере и передаётся учителю…");
// On its way to the folder, though this computer could not keep it.
inline const QString DeliveringUnsaved = QStringLiteral(
    "Результат передаётся учителю… Сохранить его на этом компьютере не удалось: не закрывайте программу.");
inline const QString Delivered = QStringLiteral("Результат передан учителю.");
inline const QString Waiting = QStringLiteral(
    "Результат сохранён на этом компьютере и будет передан учителю, как только папка станет доступна.");
// Neither the folder nor this computer could keep the record; it is kept in
// memory and offered to the folder again while the program runs.
inline const QString NotSaved = QStringLiteral(
    "Результат не удалось ни передать учителю, ни сохранить на этом компьютере. Не закрывайте программу и сообщите учителю.");

} // namespace ResultMessages
