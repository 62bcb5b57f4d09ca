// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Val: the number at the start of a text.
//
// Leading blanks are skipped; then the longest prefix that reads as a decimal
// number (an optional sign, digits, an optional fraction and exponent) gives
// the value. A text with no such prefix reads 0: "" and "-" give 0, "3abc"
// gives 3, "3.4" gives 3.4. The decimal point is always ".", whatever the
// user's locale says.

#include <string_view>

double Val(std::string_view text);
