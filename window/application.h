// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Settings of the program as a whole, made once by main() and by the tools
// that run the real window inside their own process (the benchmarks), so that
// both measure the same program.

class QApplication;

// What must be set before the QApplication exists.
void prepareApplication();

// The desktop entry's name, the style, the steady text cursor and Qt's
// Russian texts.
void setUpApplication(QApplication &app);
