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
#include <optional>
#include <string>
#include <vector>

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

// The records of a task as the generator leaves them: operands A and B
// after the operation, and the answer D.
struct GeneratedTask {
    Fraction a;
    Fraction b;
    Fraction d;
};

// The task of row `row`'s template whose operands the window writes as
// `aText` and `bText` ("-4 1/2", "3/8", "12"), built and computed as the
// generator does; nullopt when no parameters give them. A results record can
// be changed by hand; the teacher's side asks this of every task it reads.
// Only the texts the generator's own tasks show are found: a value written
// another way ("6/4" for "1 1/2") or a row outside 0..9 gives nullopt.
std::optional<GeneratedTask> FindWrittenTask(int row, const std::string &aText, const std::string &bText);

// One task a row's template makes, with the parameters that make it: p, and
// q for row 9 (0 in a row of one parameter).
struct RowTask {
    int row = 0;
    int16_t p = 0;
    int16_t q = 0;
    GeneratedTask task{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
};

// Every task row `row`'s template makes, built and computed as the generator
// does, in the order of the parameters (p, then q): 5 to 8 for rows 0 to 8,
// 98 x 98 for row 9. Empty for a row outside 0..9.
std::vector<RowTask> RowTasks(int row);
