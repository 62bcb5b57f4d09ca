// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What went wrong in a pupil's answer, and the worked solution of the task.
//
// The pupil's three boxes are read as the answer check reads them (ReadRecord:
// Val, halves to even, a whole-part text of exactly "-" negating the
// numerator). Where the boxes carry a minus twice, one of them in the
// whole-part box ("-" or "-2" with "-1" over "3"; also "-0"), the pupil means
// a negative number, though the check reads a positive one; a whole-part box
// of "-0" alone means a minus too. That meant value is compared with the
// exact result of the task and with the results of the mistakes below; the
// first kind that fits names the mistake. Each kind is named only when its
// words are true of the typed answer; what fits none is Other.
//
// Graded right (the grading decides; a row graded wrong is never Right):
//   Right                  with a word on two minuses, where they were typed
//   NoAnswer               all three boxes were empty before «Готово!»
// Before the value is read:
//   WholeInFractionBoxes   E is whole, its whole part typed right and the
//                          fraction boxes holding 1/1, n/n or 0/0
// The right value in a form the grading does not accept:
//   SignTwice              the window's form with two minuses
//   SignMisplaced          the window's form with its one minus in the
//                          denominator, in the numerator beside a whole part,
//                          or written "-0"
//   NotReduced             a proper fraction not reduced (2/4, 1 2/4), or a
//                          zero fractional part (3 0/5)
//   WholeNotTakenOut       an improper fraction without a whole part: 7/3,
//                          14/6, -8/1
//   WholeTakenOutWrongly   a whole part beside an improper fraction: 1 4/3
// A wrong value, in this order (A and B the operands, E the exact result):
//   WrongSign              -E
//   MultipliedInstead      (division) A * B
//   WrongFractionTurnedOver (division) B / A: the dividend turned over
//   BothTurnedOver         (division) 1/A * 1/B
//   OppositeForReciprocal  (division) A * (-B): the opposite number taken for
//                          the reciprocal
//   DividedInstead         (multiplication) A / B
//   Swapped                1/E
//   PartsMultipliedSeparately, PartsDividedSeparately
//                          whole parts multiplied (divided) together and
//                          fractional parts together; an operand without
//                          whole part leaves the other's whole part as it
//                          is; the sign is the result's
//   MixedToImproper        E computed with a mixed operand made improper
//                          wrongly: (w + n)/d, w * n/d, the whole part left
//                          out, or -w + n/d for -(w n/d)
//   CommonDenominator      (multiplication) a common denominator found first,
//                          or the product of the numerators kept over one
//                          denominator or over the common one; (division)
//                          the product of the numerators of A and 1/B kept
//                          over one of their denominators
//   AddedInstead           (multiplication) numerators and denominators
//                          added, or the denominators added under the
//                          product of the numerators
//   WholePartLost          E is mixed and the value is its fractional part,
//                          with either sign
//   WholeTakenOutWrongly   E is mixed, the right fractional part beside a
//                          wrong whole part, or its whole part alone; or the
//                          right whole part beside the improper fraction
//                          (1 9/8 for 9/8), the remainder over the numerator
//                          (1 1/8) or the denominator over the remainder
//                          (1 8/1)
//   ReducedWrongly         the products' numerator and denominator divided
//                          by different common divisors, or one of them not
//                          divided; unless E is whole, also one of them by a
//                          common divisor and the other by another number
//                          (12/15 as 6/5)
//   Slip                   with the right sign, one product right and the
//                          other off by a little (at most 2, or a fifth) or
//                          by one of its factors taken one or two too many
//                          or too few (7 · 5 for 7 · 4), before or after
//                          cancelling crosswise, at any reduction
//   SignTwice              two minuses, and no kind above fits
//   Other                  anything else, including a box that reads outside
//                          16 bits and a denominator of 0
//
// The worked solution is written as the textbook writes it, with ":" for
// division and "·" (U+00B7) for multiplication, a negative second operand in
// parentheses, whole numbers without "/1", the minus U+2212 and a no-break
// space inside a mixed number:
//   1 1/2 : 1 1/3 = 3/2 : 4/3 = 3/2 · 3/4 = 9/8 = 1 1/8
//   −5/4 · (−1/2) = 5/4 · 1/2 = 5/8
//   49/50 : (−1/10) = 49/50 · (−10) = −(49 · 10)/50 = −49/5 = −9 4/5
// the task; its mixed numbers made improper; a division turned into a
// multiplication by the reciprocal; two negative factors replaced by their
// magnitudes; the products written out, not multiplied, where they cancel;
// the improper result; the whole part taken out. A step that changes nothing
// is left out. Its last term is the answer as displayed. The explanations
// print numbers the same way.
//
// All texts are Russian, UTF-8. Standard C++ and the runtime only: no toolkit.

#include "fraction/answer.h"
#include "fraction/fraction.h"
#include "fraction/rational.h"
#include "fraction/task_generator.h"

#include <cstdint>
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
    SignTwice,
    SignMisplaced,
    Slip,
    MixedToImproper,
    WholeTakenOutWrongly,
    ReducedWrongly,
    PartsDividedSeparately,
    BothTurnedOver,
    OppositeForReciprocal,
    CommonDenominator,
    DividedInstead,
    WholeInFractionBoxes,
    AddedInstead,
    Other,
};

// Each kind's stable name, as results records store it and the teacher's
// class view counts it ("not-reduced", "sign-twice", ...): never changed once
// given, never reused for another kind.
std::string_view MistakeName(Mistake mistake);
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

// The wrong ways of making a mixed number improper, numbered 0 to
// MixedWrongConversions - 1: (w + n)/d, w·n/d, the whole part left out, the
// minus taken for the whole part only (−1 2/5 as −1 + 2/5). nullopt for a
// number that is not mixed, or a way that does not apply to it. The
// diagnosis recognises these; the practice makes them on purpose.
inline constexpr int MixedWrongConversions = 4;
std::optional<Rational> MixedConvertedWrongly(const Rational &x, int way);

// The worked solution alone, as DiagnoseAnswer gives it; empty when an
// operand has no value or the divisor is 0. The practice shows it beside a
// mistake made on purpose.
std::string WorkedSolution(const Fraction &a, const Fraction &b, Operation operation);
