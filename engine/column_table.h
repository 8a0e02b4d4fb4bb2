#pragma once

#include <array>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace pw {

// The fields of the current data record: 101 slots, 0 to 100. Slot k is addressed by model tag
// k and by the tag-list entry "Tag N°k". A slot the current record does not reach reads as
// empty, so a page (and the naming example) never shows another record's values.
class ColumnTable {
  public:
    static constexpr int kSlots = 101;

    // The value of slot `k`; empty for a number outside 0..100. Valid until the next split or
    // clear.
    std::string_view at(long long k) const {
        if (k < 0 || k >= kSlots) {
            return {};
        }
        const auto slot = static_cast<size_t>(k);
        return std::string_view(m_line.data() + m_begin[slot], m_end[slot] - m_begin[slot]);
    }

    // True when slot `k` holds a '<'. Every marker, the generator text and the title text begin
    // with one, so a value without it is plain text to every page rule.
    bool holdsAngle(long long k) const {
        const std::string_view value = at(k);
        return !value.empty() && std::memchr(value.data(), '<', value.size()) != nullptr;
    }

    // Splits `line` at `separator` into the slots from 0 upward and empties every slot past
    // the line's last field. Fields are taken exactly (no trimming, no quoting). Past 100
    // separators the rest of the line is ignored.
    void split(std::string_view line, char separator);

    // Empties every slot.
    void clear();

  private:
    // The record's bytes, copied once, and a chunk of padding for the separator scan; slot k is
    // m_line[m_begin[k], m_end[k]).
    std::string m_line;
    std::array<size_t, kSlots> m_begin{};
    std::array<size_t, kSlots> m_end{};
    // Slots from this one up are empty: a split clears only what the previous one filled.
    int m_filled = 0;
};

}  // namespace pw
