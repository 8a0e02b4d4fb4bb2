#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pw {

// The pages of a list grouped by link key: pages with equal keys are partners. Each group
// holds its pages' positions in list order. A page without key belongs to no group.
class LinkGroups {
  public:
    // Makes room for the pages at positions below `pages`, so that assigning them in list
    // order never regrows the tables.
    void reserve(uint64_t pages);

    // Puts the page at `position` in the group of `key`, or in none, leaving its former group.
    void assign(uint64_t position, std::optional<std::string_view> key);

    // The positions of the group of the page at `position`, that page included, in list
    // order; empty when it has no key. Valid until the next assign.
    std::span<const uint64_t> groupOf(uint64_t position) const;

  private:
    static constexpr uint64_t kNoGroup = UINT64_MAX;

    void leave(uint64_t position);

    std::unordered_map<std::string, uint64_t> m_groupOfKey;
    std::vector<std::vector<uint64_t>> m_groups;
    std::vector<uint64_t> m_groupOfPage;
};

}  // namespace pw
