// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A control array: controls of one kind sharing a name, reached by index
// from 0 to its upper bound (every array of the design starts at 0).
//
// Indexing outside the declared bounds raises SubscriptError, as the design's
// fixed ranges promise; nothing quietly reads a neighbour.

#include <cstddef>
#include <stdexcept>
#include <vector>

// An index outside the bounds of a control array.
class SubscriptError : public std::out_of_range {
public:
    SubscriptError() : std::out_of_range("Subscript out of range") {}
};

template <class Control>
class ControlArray {
public:
    explicit ControlArray(int upper) : m_items(size_t(upper + 1), nullptr) {}

    Control *operator()(int index) const { return m_items[slot(index)]; }
    void set(int index, Control *control) { m_items[slot(index)] = control; }

    int upper() const { return int(m_items.size()) - 1; }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    size_t slot(int index) const
    {
        if (index < 0 || index > upper())
            throw SubscriptError();
        return size_t(index);
    }

    std::vector<Control *> m_items;
};
