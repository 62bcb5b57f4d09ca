// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Qt's own texts in Russian: the answer boxes' context menu ("Вырезать",
// "Копировать", "Вставить"), the message boxes' buttons and the like.

class QCoreApplication;

// Loads qtbase_ru from Qt's translations folder for an explicit Russian
// locale, whatever the system's locale is. A missing file is not an error:
// the toolkit then keeps its English texts. Returns whether it was loaded.
bool installRussianTranslations(QCoreApplication &app);
