#include "links/link_groups.h"

#include <gtest/gtest.h>

namespace pw {
namespace {

std::vector<uint64_t> members(const LinkGroups& groups, uint64_t position) {
    auto group = groups.groupOf(position);
    return {group.begin(), group.end()};
}

TEST(LinkGroups, PagesWithEqualKeysShareOneGroupInListOrder) {
    LinkGroups groups;
    groups.assign(0, "Lyon");
    groups.assign(1, std::nullopt);
    groups.assign(2, "Paris");
    groups.assign(3, "Lyon");
    groups.assign(4, "");
    groups.assign(5, "");
    EXPECT_EQ(members(groups, 0), (std::vector<uint64_t>{0, 3}));
    EXPECT_EQ(members(groups, 3), (std::vector<uint64_t>{0, 3}));
    EXPECT_EQ(members(groups, 2), (std::vector<uint64_t>{2}));
    EXPECT_EQ(members(groups, 4), (std::vector<uint64_t>{4, 5}));
    EXPECT_TRUE(members(groups, 1).empty());
    EXPECT_TRUE(members(groups, 99).empty());
}

TEST(LinkGroups, AReassignedPageMovesAndKeepsListOrder) {
    LinkGroups groups;
    for (uint64_t p = 0; p < 6; ++p) {
        groups.assign(p, p % 2 == 0 ? "even" : "odd");
    }
    groups.assign(1, "even");
    EXPECT_EQ(members(groups, 0), (std::vector<uint64_t>{0, 1, 2, 4}));
    EXPECT_EQ(members(groups, 3), (std::vector<uint64_t>{3, 5}));
    groups.assign(4, std::nullopt);
    EXPECT_EQ(members(groups, 0), (std::vector<uint64_t>{0, 1, 2}));
    EXPECT_TRUE(members(groups, 4).empty());
    groups.assign(2, "even");
    EXPECT_EQ(members(groups, 2), (std::vector<uint64_t>{0, 1, 2}));
}

}  // namespace
}  // namespace pw
