// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The random source behind Rnd and Randomize.
//
// RandomSource is an interface so that tests can hand the task generator a
// scripted sequence (runtime/tests/scripted_random_source.h); the program uses
// StdRandomSource, a 64-bit Mersenne Twister from the standard library.

#include <cstdint>
#include <random>

class RandomSource {
public:
    virtual ~RandomSource() = default;
    // The next value of a uniform sequence in [0, 1).
    virtual double Rnd() = 0;
    // Reseeds the sequence from a number; the same number gives the same sequence.
    virtual void Randomize(double seed) = 0;
};

class StdRandomSource : public RandomSource {
public:
    StdRandomSource();
    double Rnd() override;
    // The seed is taken as a single-precision real and every bit of it,
    // fraction included, goes into the generator's state: two seeds of the
    // time of day a few milliseconds apart give different sequences.
    void Randomize(double seed) override;

private:
    std::mt19937_64 m_engine;
};
