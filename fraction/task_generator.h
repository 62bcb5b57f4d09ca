// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The ten tasks of a test, built from fixed templates with random parameters.
//
// Row r gets operand A, operand B and the exact answer D = A * B or A / B.
// The generator draws exactly eleven values from the random source, one per
// row in row order and two in row 9 (a, then b), and hands each row's three
// records to `show` after the operation, in the order A (column 1),
// B (column 2), D (column 3). `show` may change the record it is given.
//
// No toolkit: the window supplies `show`, tests supply a recorder.

#include "fraction/fraction.h"
#include "runtime/random_source.h"

#include <array>
#include <cstdint>
#include <functional>

enum class Operation : uint8_t { Multiply, Divide };

// Which rows multiply and which divide. The generator, the window's operator
// signs (one dot or a colon) and the tasks read aloud all follow this table.
inline constexpr std::array<Operation, 10> RowOperation{
    Operation::Multiply, Operation::Divide, Operation::Divide,   Operation::Multiply, Operation::Divide,
    Operation::Divide,   Operation::Divide, Operation::Multiply, Operation::Multiply, Operation::Divide,
};

// The number of task rows in a test, taken from the table above.
inline constexpr int RowCount = int(RowOperation.size());

using ShowFractionFn = std::function<void(int16_t row, Fraction &fraction, uint8_t column)>;

void GenerateTasks(RandomSource &random, const ShowFractionFn &show);
