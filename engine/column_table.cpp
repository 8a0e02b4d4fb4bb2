#include "engine/column_table.h"

namespace pw {

namespace {
const std::string kEmpty;
}

const std::string& ColumnTable::at(long long k) const {
    if (k < 0 || k >= kSlots) {
        return kEmpty;
    }
    return m_slots[static_cast<size_t>(k)];
}

void ColumnTable::split(std::string_view line, char separator) {
    size_t start = 0;
    int k = 0;
    for (; k < kSlots; ++k) {
        size_t found = line.find(separator, start);
        if (found == std::string_view::npos) {
            m_slots[static_cast<size_t>(k)].assign(line.substr(start));
            ++k;
            break;
        }
        m_slots[static_cast<size_t>(k)].assign(line.substr(start, found - start));
        start = found + 1;
    }
    for (int rest = k; rest < m_filled; ++rest) {
        m_slots[static_cast<size_t>(rest)].clear();
    }
    m_filled = k;
}

void ColumnTable::clear() {
    for (auto& slot : m_slots) {
        slot.clear();
    }
    m_filled = 0;
}

}  // namespace pw
