#include "links/link_groups.h"

#include <algorithm>

namespace pw {

void LinkGroups::leave(uint64_t position) {
    uint64_t group = m_groupOfPage[position];
    if (group == kNoGroup) {
        return;
    }
    std::vector<uint64_t>& members = m_groups[group];
    auto at = std::lower_bound(members.begin(), members.end(), position);
    if (at != members.end() && *at == position) {
        members.erase(at);
    }
    m_groupOfPage[position] = kNoGroup;
}

void LinkGroups::reserve(uint64_t pages) {
    m_groupOfKey.reserve(pages);
    m_groups.reserve(pages);
    m_groupOfPage.reserve(pages);
}

void LinkGroups::assign(uint64_t position, std::optional<std::string_view> key) {
    if (position >= m_groupOfPage.size()) {
        m_groupOfPage.resize(position + 1, kNoGroup);
    }
    leave(position);
    if (!key) {
        return;
    }
    auto [entry, added] = m_groupOfKey.try_emplace(std::string(*key), m_groups.size());
    if (added) {
        m_groups.emplace_back();
    }
    uint64_t group = entry->second;
    std::vector<uint64_t>& members = m_groups[group];
    // Pages are first assigned in list order, so the common case appends.
    if (members.empty() || members.back() < position) {
        members.push_back(position);
    } else {
        members.insert(std::lower_bound(members.begin(), members.end(), position), position);
    }
    m_groupOfPage[position] = group;
}

std::span<const uint64_t> LinkGroups::groupOf(uint64_t position) const {
    if (position >= m_groupOfPage.size() || m_groupOfPage[position] == kNoGroup) {
        return {};
    }
    return m_groups[m_groupOfPage[position]];
}

}  // namespace pw
