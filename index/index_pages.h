#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pw {

// One page of the source directory that has a criterion line.
struct IndexEntry {
    std::string criterion;
    std::string linkText;
    std::string fileName;  // without directory
};

// The criterion that marks an entry as already placed: such an entry is never listed.
inline constexpr std::string_view kConsumedCriterion = "vide";

// The entries of one index page: all entries sharing one criterion, in entry order.
struct IndexGroup {
    std::string criterion;
    std::vector<size_t> entries;  // positions in the entry list
};

// Groups the entries by criterion (exact, case-sensitive) in one pass. Groups come in the
// order in which each criterion first occurs; "vide" entries belong to no group.
std::vector<IndexGroup> groupByCriterion(const std::vector<IndexEntry>& entries);

// "index_" + criterion + ".htm", or nothing when that cannot be a file of the destination
// (a "/" or NUL in the criterion, or a name longer than a directory entry can be).
std::optional<std::string> indexPageName(std::string_view criterion);

// The index page of one group, every line ended with CR LF.
std::string indexPageText(const IndexGroup& group, const std::vector<IndexEntry>& entries);

}  // namespace pw
