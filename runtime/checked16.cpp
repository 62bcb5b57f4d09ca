// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/checked16.h"

#include <cmath>

namespace {

int16_t checked(int32_t wide)
{
    if (wide < INT16_MIN || wide > INT16_MAX)
        throw OverflowError();
    return static_cast<int16_t>(wide);
}

} // namespace

int16_t add16(int16_t a, int16_t b) { return checked(int32_t(a) + b); }
int16_t sub16(int16_t a, int16_t b) { return checked(int32_t(a) - b); }
int16_t mul16(int16_t a, int16_t b) { return checked(int32_t(a) * b); }
int16_t abs16(int16_t a) { return checked(a < 0 ? -int32_t(a) : int32_t(a)); }
int16_t neg16(int16_t a) { return static_cast<int16_t>(-int32_t(a)); }

std::optional<int16_t> roundToInt16(double x)
{
    if (std::isnan(x))
        return std::nullopt;
    // Compare before converting: casting an out-of-range double is undefined.
    if (x < double(INT16_MIN) - 1.0 || x > double(INT16_MAX) + 1.0)
        return std::nullopt;
    // nearbyint rounds half to even in the default rounding mode.
    const double r = std::nearbyint(x);
    if (r < INT16_MIN || r > INT16_MAX)
        return std::nullopt;
    return static_cast<int16_t>(r);
}

int16_t toInt16(double x)
{
    if (const auto v = roundToInt16(x))
        return *v;
    throw OverflowError();
}

double intPart(double x) { return std::floor(x); }

std::string toText(int value) { return std::to_string(value); }
