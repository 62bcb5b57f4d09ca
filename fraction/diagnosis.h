// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What went wrong in a pupil's answer, and the worked solution of the task.
//
// The pupil's three boxes are read as the answer check reads them (ReadRecord:
// Val, halves to even, a whole-part text of exactly "-" negating the
// numerator) and compared as an exact value with the exact result of the
// task and with the results of typical mistakes. The first kind of this list
// that fits names the mistake:
//
//   Right                      the row was graded right (the grading decides;
//                              a row graded wrong is never named Right)
//   NoAnswer                   all three boxes were empty before «Готово!»
//                              filled them
//   NotReduced                 the right value with the whole part taken out
//                              (a proper fractional part) that is not reduced:
//                              2/4 for 1/2, 1 2/4 for 1 1/2, 3 0/5 for 3
//   WholeNotTakenOut           the right value with an improper fractional
//                              part, reduced or not: 7/3 or 14/6 for 2 1/3,
//                              1 4/3 for 2 1/3, -8/1 for -8. Reducing alone
//                              would not make such an answer right, so it is
//                              this kind even when it is not reduced either.
//   WrongSign                  the value is minus the result, in any form
//   MultipliedInstead          (division) the value is A * B
//   WrongFractionTurnedOver    (division) the value is B / A; this is always
//                              the reciprocal of the result, so in a division
//                              row a swapped answer is named this
//   Swapped                    the value is the reciprocal of the result
//   PartsMultipliedSeparately  (multiplication of two non-whole operands, at
//                              least one a mixed number) whole parts
//                              multiplied together and fractional parts
//                              together, 2 1/3 * 1 1/2 -> 2 1/6; an operand
//                              without whole part leaves the other's whole
//                              part as it is, -2 1/3 * 3/7 -> -2 1/7; the
//                              sign is the product's
//   WholePartLost              the result has a whole and a fractional part,
//                              and the value is that fractional part, with
//                              either sign (the sign of a negative mixed
//                              number sits in the whole-part box and is lost
//                              with it)
//   Other                      anything else, including a box that reads
//                              outside 16 bits, a denominator of 0, and the
//                              right value, reduced, with its minus where the
//                              window does not write it (3/-4 for -3/4)
//
// The worked solution is written as a school writes it, with ":" for division
// and "·" (U+00B7) for multiplication, a negative second operand in
// parentheses and every number in the window's form (whole part, then
// numerator/denominator; "-1/20", "-4 1/2", "6"):
//   -1 1/2 : 1/3 = -3/2 · 3/1 = -9/2 = -4 1/2
// the task, the mixed numbers made improper with a divisor turned over, the
// product, the reduced fraction, the whole part taken out; a step that
// changes nothing is left out. Its last term is the answer as displayed.
//
// All texts are Russian, UTF-8. Standard C++ and the runtime only: no toolkit.

#include "fraction/answer.h"
#include "fraction/fraction.h"
#include "fraction/rational.h"
#include "fraction/task_generator.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

enum class Mistake : uint8_t {
    Right,
    NoAnswer,
    NotReduced,
    WholeNotTakenOut,
    WrongSign,
    MultipliedInstead,
    WrongFractionTurnedOver,
    Swapped,
    PartsMultipliedSeparately,
    WholePartLost,
    Other,
};

// Each kind's stable name, as results records store it and the teacher's
// class view counts it ("not-reduced", "sign-twice", ...): never changed once
// given, never reused for another kind.
std::string_view MistakeName(Mistake mistake);
// The kind a stable name stands for; nullopt for a name this build does not know.
std::optional<Mistake> MistakeFromName(std::string_view name);
// A short Russian title of the kind, for the teacher's summary: «Не сокращена дробь».
std::string_view MistakeTitle(Mistake mistake);

struct Diagnosis {
    Mistake mistake = Mistake::Other;
    // One or two short sentences for the pupil.
    std::string explanation;
    // Empty only when the operands have no value (a denominator or a divisor of 0).
    std::string solution;
};

// a and b are the row's operands as the generator made them, in any form;
// typed holds the pupil's boxes as the answer check reads them (after
// «Готово!» filled the empty ones); boxesWereEmpty tells whether all three
// were empty before that; gradedRight is the answer check's verdict.
Diagnosis DiagnoseAnswer(const Fraction &a, const Fraction &b, Operation operation, const AnswerTexts &typed,
                         bool boxesWereEmpty, bool gradedRight);

// The worked solution alone; empty when an operand has no value or the
// divisor is 0.
std::string WorkedSolution(const Fraction &a, const Fraction &b, Operation operation);

// A value as the window writes it: reduced, whole part taken out, one
// leading "-": "-1/20", "2 1/3", "-4 1/2", "6", "0".
std::string WrittenValue(const Rational &x);
