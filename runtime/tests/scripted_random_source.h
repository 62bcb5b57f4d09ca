// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Test support: a random source that plays back fixed values, so that a test
// knows every parameter the task generator draws. Tests of any folder reach
// it by linking runtime_test_support.

#include "runtime/random_source.h"

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

// Plays back fixed values, then repeats the last one; 0 when it has none.
class ScriptedRandomSource : public RandomSource {
public:
    explicit ScriptedRandomSource(std::vector<double> values) : m_values(std::move(values)) {}

    double Rnd() override
    {
        if (m_values.empty())
            return 0.0;
        const size_t index = std::min<size_t>(size_t(m_drawn), m_values.size() - 1);
        ++m_drawn;
        return m_values[index];
    }

    // Reseeding does not restart the script.
    void Randomize(double) override {}

    // How many values have been drawn so far.
    int drawn() const { return m_drawn; }

private:
    std::vector<double> m_values;
    int m_drawn = 0;
};
