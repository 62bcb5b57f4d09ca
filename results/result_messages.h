// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The line the grade's message box adds to say where the result went.

#include <QString>

namespace ResultMessages {

inline const QString Delivered = QStringLiteral("Результат передан учителю.");
inline const QString Waiting = QStringLiteral(
    "Результат сохранён на этом компьютере и будет передан учителю, как только папка станет доступна.");
// Neither the folder nor this computer could keep the record; it is kept in
// memory and offered to the folder again while the program runs.
inline const QString NotSaved = QStringLiteral(
    "Результат не удалось ни передать учителю, ни сохранить на этом компьютере. Не закрывайте программу и сообщите учителю.");

} // namespace ResultMessages
