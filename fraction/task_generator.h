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

#include <cstdint>
#include <functional>

using ShowFractionFn = std::function<void(int16_t row, Fraction &fraction, uint8_t column)>;

void GenerateTasks(RandomSource &random, const ShowFractionFn &show);
