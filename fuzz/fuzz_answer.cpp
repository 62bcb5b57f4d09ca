// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target for reading a pupil's answer: arbitrary bytes as the three
// typed texts, checked against an answer whose texts are well formed.
//
// Input: typed numerator, denominator and whole part separated by '\n'. What
// follows a third '\n' chooses the correct answer: its first six bytes are
// Num, Den and Whole (16-bit, little-endian), and an odd seventh byte writes
// a negative proper answer the way the answer labels do, with "-" as the
// whole part. Without those bytes the correct answer is the typed record
// itself (written out as plain decimals), or 3/4 when the typing does not
// read. So the correct texts always come from 16-bit values, and any
// exception can only come from the typed side, which must never raise.
//
// Checked for every input: Val gives a number (never NaN); a field reads as
// Val rounded half to even when that fits in 16 bits and as nothing
// otherwise; a record follows its fields and the "-" rule; the verdict is
// exactly "the typed record equals the correct one", so an out-of-range
// typed field is a wrong answer; the correct texts read as their values.

#include "fraction/answer.h"
#include "runtime/checked16.h"
#include "runtime/val.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace {

std::string_view g_input;

void check(bool condition, const char *what)
{
    if (condition)
        return;
    std::fprintf(stderr, "fuzz_answer: %s\ninput (%zu bytes): \"", what, g_input.size());
    for (unsigned char c : g_input) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\')
            std::fputc(c, stderr);
        else
            std::fprintf(stderr, "\\x%02x", c);
    }
    std::fputs("\"\n", stderr);
    std::abort();
}

// Half to even by hand, without the library rounding the code under test uses.
std::optional<int16_t> expectedField(double v)
{
    if (!std::isfinite(v))
        return std::nullopt;
    const double below = std::floor(v);
    const double rest = v - below;
    double r = below;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(below, 2.0) != 0.0))
        r = below + 1.0;
    if (r < -32768.0 || r > 32767.0)
        return std::nullopt;
    return int16_t(r);
}

std::optional<Fraction> expectedRecord(std::string_view num, std::string_view den, std::string_view whole)
{
    const auto n = expectedField(Val(num));
    const auto d = expectedField(Val(den));
    if (!n || !d)
        return std::nullopt;
    if (whole == "-")
        return Fraction{neg16(*n), *d, 0};
    const auto w = expectedField(Val(whole));
    if (!w)
        return std::nullopt;
    return Fraction{*n, *d, *w};
}

std::string_view nextPart(std::string_view &rest, bool &more)
{
    const size_t end = rest.find('\n');
    if (end == std::string_view::npos) {
        const std::string_view part = rest;
        rest = {};
        more = false;
        return part;
    }
    const std::string_view part = rest.substr(0, end);
    rest.remove_prefix(end + 1);
    return part;
}

int16_t int16At(std::string_view bytes, size_t at)
{
    return int16_t(uint16_t(uint8_t(bytes[at]) | (uint8_t(bytes[at + 1]) << 8)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    g_input = std::string_view(reinterpret_cast<const char *>(data), size);
    std::string_view rest = g_input;
    bool more = true;
    const std::string_view typedNum = nextPart(rest, more);
    const std::string_view typedDen = more ? nextPart(rest, more) : std::string_view();
    const std::string_view typedWhole = more ? nextPart(rest, more) : std::string_view();
    const std::string_view choice = more ? rest : std::string_view();

    try {
        for (std::string_view text : {typedNum, typedDen, typedWhole}) {
            check(!std::isnan(Val(text)), "Val gave NaN");
            check(ReadField(text) == expectedField(Val(text)), "ReadField is not Val rounded half to even into 16 bits");
        }

        const std::optional<Fraction> pupil = ReadRecord(typedNum, typedDen, typedWhole);
        const std::optional<Fraction> expectedPupil = expectedRecord(typedNum, typedDen, typedWhole);
        check(pupil.has_value() == expectedPupil.has_value(), "ReadRecord reads where a field does not, or the reverse");
        check(!pupil || *pupil == *expectedPupil, "ReadRecord's fields or its \"-\" rule are wrong");

        // The correct answer and its texts, as the answer labels would hold them.
        Fraction answer{3, 4, 0};
        bool minusForm = false;
        if (choice.size() >= 6) {
            answer = {int16At(choice, 0), int16At(choice, 2), int16At(choice, 4)};
            minusForm = choice.size() >= 7 && (uint8_t(choice[6]) & 1) && answer.Whole == 0 && answer.Num < 0
                        && answer.Num != INT16_MIN;
        } else if (pupil) {
            answer = *pupil;
        }
        const std::string num = toText(minusForm ? -answer.Num : answer.Num);
        const std::string den = toText(answer.Den);
        const std::string whole = minusForm ? std::string("-") : toText(answer.Whole);
        const AnswerTexts correct{num, den, whole};

        check(AnswerIsRight(correct, correct), "a correct answer's own texts do not match it");
        const bool right = AnswerIsRight({typedNum, typedDen, typedWhole}, correct);
        // An out-of-range typed field leaves no record, so its answer is wrong.
        check(right == (pupil && *pupil == answer), "verdict differs from comparing the three fields");
    } catch (const std::exception &error) {
        check(false, error.what());
    } catch (...) {
        check(false, "an exception that is not std::exception");
    }
    return 0;
}
