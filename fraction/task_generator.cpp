// SPDX-License-Identifier: GPL-3.0-or-later
#include "fraction/task_generator.h"

#include "runtime/checked16.h"

namespace {

// Int(Rnd * count) + first: uniform over the `count` integers from `first`.
int16_t draw(RandomSource &random, int count, int first)
{
    return toInt16(intPart(random.Rnd() * count) + first);
}

// Stores Num and Den into a cleared record without normalising them.
void setDirect(Fraction &f, int16_t num, int16_t den)
{
    f.Num = num;
    f.Den = den;
}

} // namespace

void GenerateTasks(RandomSource &random, const ShowFractionFn &show)
{
    Fraction A{0, 0, 0};
    Fraction B{0, 0, 0};
    Fraction D{0, 0, 0};

    for (int16_t row = 0; row <= 9; ++row) {
        // The operation of each row matches the operator dots of the window:
        // one dot (multiplication) in rows 0, 3, 7 and 8, a colon elsewhere.
        switch (row) {
        case 0: {
            const int16_t n = draw(random, 8, 2);
            MakeFraction(A, -1, n);
            MakeFraction(B, 1, add16(n, 1));
            MulFraction(D, A, B);
            break;
        }
        case 1: {
            const int16_t m = draw(random, 8, 2);
            MakeFraction(A, 1, m);
            MakeFraction(B, -1, add16(m, 1));
            DivFraction(D, A, B);
            break;
        }
        case 2: {
            const int16_t k = draw(random, 8, 2);
            setDirect(A, mul16(2, k), 1);
            MakeFraction(B, -1, k);
            DivFraction(D, A, B);
            break;
        }
        case 3: {
            const int16_t p = draw(random, 6, 4);
            MakeFraction(A, neg16(add16(p, 1)), p);
            MakeFraction(B, neg16(sub16(p, 3)), sub16(p, 2));
            MulFraction(D, A, B);
            break;
        }
        case 4: {
            const int16_t q = draw(random, 7, 3);
            setDirect(A, neg16(q), 1);
            // The minus sits on the denominator: 1/(1 - q).
            MakeFraction(B, 1, sub16(1, q));
            DivFraction(D, A, B);
            break;
        }
        case 5: {
            const int16_t r = draw(random, 8, 2);
            MakeFraction(A, -1, r);
            setDirect(B, neg16(sub16(r, 1)), 1);
            DivFraction(D, A, B);
            break;
        }
        case 6: {
            const int16_t s = draw(random, 8, 2);
            MakeFraction(A, add16(s, 1), s);
            MakeFraction(B, add16(s, 2), add16(s, 1));
            DivFraction(D, A, B);
            break;
        }
        case 7: {
            const int16_t t = draw(random, 8, 2);
            const int16_t twoTPlusOne = add16(mul16(2, t), 1);
            MakeFraction(A, neg16(twoTPlusOne), t);
            MakeFraction(B, t, twoTPlusOne);
            MulFraction(D, A, B);
            break;
        }
        case 8: {
            const int16_t u = draw(random, 5, 5);
            MakeFraction(A, neg16(add16(u, 2)), u);
            MakeFraction(B, add16(u, 3), add16(u, 1));
            MulFraction(D, A, B);
            break;
        }
        default: {
            const int16_t a = draw(random, 98, 1);
            const int16_t b = draw(random, 98, 1);
            MakeFraction(A, a, 100);
            MakeFraction(B, neg16(b), 10);
            DivFraction(D, A, B);
            break;
        }
        }

        show(row, A, 1);
        show(row, B, 2);
        show(row, D, 3);
        if (row == 9)
            break;
        ClearFraction(A);
        ClearFraction(B);
        ClearFraction(D);
    }
}
