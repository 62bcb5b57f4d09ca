// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/random_source.h"

#include <bit>
#include <cstdint>
#include <random>

StdRandomSource::StdRandomSource() = default;

double StdRandomSource::Rnd()
{
    // The top 53 bits scaled by 2^-53: exactly uniform on the doubles of
    // [0, 1) with that spacing, and never 1.0.
    return double(m_engine() >> 11) * 0x1.0p-53;
}

void StdRandomSource::Randomize(double seed)
{
    const auto bits = std::bit_cast<uint32_t>(static_cast<float>(seed));
    std::seed_seq sequence{bits};
    m_engine.seed(sequence);
}
