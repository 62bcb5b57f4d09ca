// SPDX-License-Identifier: GPL-3.0-or-later
#include "fraction/task_generator.h"

#include "fraction/written_form.h"
#include "runtime/checked16.h"

#include <array>
#include <map>
#include <string>
#include <utility>
#include <vector>

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

// One row's template: it draws `values` parameters (p, then q), each from
// the `count` integers starting at `first`, and builds its operands A and B
// from them into cleared records. The operation comes from RowOperation.
struct RowTemplate {
    int values;
    int count;
    int first;
    void (*build)(Fraction &A, Fraction &B, int16_t p, int16_t q);
};

constexpr std::array<RowTemplate, 10> RowTemplates{{
    {.values = 1, .count = 8, .first = 2, .build = [](Fraction &A, Fraction &B, int16_t n, int16_t) {
         MakeFraction(A, -1, n);
         MakeFraction(B, 1, add16(n, 1));
     }},
    {.values = 1, .count = 8, .first = 2, .build = [](Fraction &A, Fraction &B, int16_t m, int16_t) {
         MakeFraction(A, 1, m);
         MakeFraction(B, -1, add16(m, 1));
     }},
    {.values = 1, .count = 8, .first = 2, .build = [](Fraction &A, Fraction &B, int16_t k, int16_t) {
         setDirect(A, mul16(2, k), 1);
         MakeFraction(B, -1, k);
     }},
    {.values = 1, .count = 6, .first = 4, .build = [](Fraction &A, Fraction &B, int16_t p, int16_t) {
         MakeFraction(A, neg16(add16(p, 1)), p);
         MakeFraction(B, neg16(sub16(p, 3)), sub16(p, 2));
     }},
    {.values = 1, .count = 7, .first = 3, .build = [](Fraction &A, Fraction &B, int16_t q, int16_t) {
         setDirect(A, neg16(q), 1);
         // The minus sits on the denominator: 1/(1 - q).
         MakeFraction(B, 1, sub16(1, q));
     }},
    {.values = 1, .count = 8, .first = 2, .build = [](Fraction &A, Fraction &B, int16_t r, int16_t) {
         MakeFraction(A, -1, r);
         setDirect(B, neg16(sub16(r, 1)), 1);
     }},
    {.values = 1, .count = 8, .first = 2, .build = [](Fraction &A, Fraction &B, int16_t s, int16_t) {
         MakeFraction(A, add16(s, 1), s);
         MakeFraction(B, add16(s, 2), add16(s, 1));
     }},
    {.values = 1, .count = 8, .first = 2, .build = [](Fraction &A, Fraction &B, int16_t t, int16_t) {
         const int16_t twoTPlusOne = add16(mul16(2, t), 1);
         MakeFraction(A, neg16(twoTPlusOne), t);
         MakeFraction(B, t, twoTPlusOne);
     }},
    {.values = 1, .count = 5, .first = 5, .build = [](Fraction &A, Fraction &B, int16_t u, int16_t) {
         MakeFraction(A, neg16(add16(u, 2)), u);
         MakeFraction(B, add16(u, 3), add16(u, 1));
     }},
    {.values = 2, .count = 98, .first = 1, .build = [](Fraction &A, Fraction &B, int16_t a, int16_t b) {
         MakeFraction(A, a, 100);
         MakeFraction(B, neg16(b), 10);
     }},
}};
static_assert(RowTemplates.size() == RowOperation.size());

} // namespace

void GenerateTasks(RandomSource &random, const ShowFractionFn &show)
{
    Fraction A{0, 0, 0};
    Fraction B{0, 0, 0};
    Fraction D{0, 0, 0};
    for (int16_t row = 0; row < int16_t(RowTemplates.size()); ++row) {
        const RowTemplate &task = RowTemplates[size_t(row)];
        const int16_t p = draw(random, task.count, task.first);
        const int16_t q = task.values == 2 ? draw(random, task.count, task.first) : int16_t(0);
        task.build(A, B, p, q);
        if (RowOperation[size_t(row)] == Operation::Multiply)
            MulFraction(D, A, B);
        else
            DivFraction(D, A, B);
        show(row, A, 1);
        show(row, B, 2);
        show(row, D, 3);
        ClearFraction(A);
        ClearFraction(B);
        ClearFraction(D);
    }
}

namespace {

// Each row's parameters by the operands they give, as written on screen:
// for rows of one parameter by the pair (A, B); for row 9, whose A comes
// from a alone and B from b alone, a by A and b by B apart.
struct RowOperands {
    std::map<std::pair<std::string, std::string>, int16_t> pairs;
    std::map<std::string, int16_t> firsts, seconds;
};

std::vector<RowOperands> allOperands()
{
    std::vector<RowOperands> rows(RowTemplates.size());
    for (size_t row = 0; row < RowTemplates.size(); ++row) {
        const RowTemplate &task = RowTemplates[row];
        for (int i = 0; i < task.count; ++i) {
            Fraction A{0, 0, 0}, B{0, 0, 0};
            const int16_t p = int16_t(task.first + i);
            task.build(A, B, p, p);
            const std::string a = WriteFraction(A).text(), b = WriteFraction(B).text();
            if (task.values == 2) {
                rows[row].firsts.emplace(a, p);
                rows[row].seconds.emplace(b, p);
            } else {
                rows[row].pairs.emplace(std::make_pair(a, b), p);
            }
        }
    }
    return rows;
}

} // namespace

std::optional<GeneratedTask> FindWrittenTask(int row, const std::string &aText, const std::string &bText)
{
    static const std::vector<RowOperands> operands = allOperands();
    if (row < 0 || row >= int(operands.size()))
        return std::nullopt;
    const RowOperands &known = operands[size_t(row)];
    const RowTemplate &task = RowTemplates[size_t(row)];
    int16_t p = 0, q = 0;
    if (task.values == 2) {
        const auto first = known.firsts.find(aText);
        const auto second = known.seconds.find(bText);
        if (first == known.firsts.end() || second == known.seconds.end())
            return std::nullopt;
        p = first->second;
        q = second->second;
    } else {
        const auto found = known.pairs.find({aText, bText});
        if (found == known.pairs.end())
            return std::nullopt;
        p = q = found->second;
    }
    GeneratedTask made{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
    task.build(made.a, made.b, p, q);
    if (RowOperation[size_t(row)] == Operation::Multiply)
        MulFraction(made.d, made.a, made.b);
    else
        DivFraction(made.d, made.a, made.b);
    return made;
}

std::vector<RowTask> RowTasks(int row)
{
    std::vector<RowTask> tasks;
    if (row < 0 || row >= int(RowTemplates.size()))
        return tasks;
    const RowTemplate &made = RowTemplates[size_t(row)];
    const int seconds = made.values == 2 ? made.count : 1;
    for (int i = 0; i < made.count; ++i) {
        for (int j = 0; j < seconds; ++j) {
            RowTask task{row, int16_t(made.first + i), int16_t(made.values == 2 ? made.first + j : 0),
                         {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}};
            GeneratedTask &t = task.task;
            made.build(t.a, t.b, task.p, task.q);
            if (RowOperation[size_t(row)] == Operation::Multiply)
                MulFraction(t.d, t.a, t.b);
            else
                DivFraction(t.d, t.a, t.b);
            tasks.push_back(task);
        }
    }
    return tasks;
}
