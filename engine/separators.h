#pragma once

#include <array>
#include <optional>

namespace pw {

// The seven column separators a data file may use, in the order of the separator list;
// the settings store the list index.
inline constexpr std::array<char, 7> kSeparators = {';', '|', ',', ':', '#', '&', '$'};

// The separator at `index`, or ';' when the index is outside the list.
inline char separatorAt(int index) {
    return (index >= 0 && index < static_cast<int>(kSeparators.size())) ? kSeparators[index] : ';';
}

// The list index of `separator`, or nothing when it is not one of the seven.
inline std::optional<int> separatorIndex(char separator) {
    for (int i = 0; i < static_cast<int>(kSeparators.size()); ++i) {
        if (kSeparators[i] == separator) {
            return i;
        }
    }
    return std::nullopt;
}

}  // namespace pw
