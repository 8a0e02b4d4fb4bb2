#include "index/index_pages.h"

#include <unordered_map>

#include "fs/work_file.h"

namespace pw {

namespace {

// The longest file name common file systems accept, in bytes.
constexpr size_t kLongestName = 255;

}  // namespace

std::vector<IndexGroup> groupByCriterion(const std::vector<IndexEntry>& entries) {
    std::vector<IndexGroup> groups;
    std::unordered_map<std::string_view, size_t> groupOf;
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::string& criterion = entries[i].criterion;
        if (criterion == kConsumedCriterion) {
            continue;
        }
        auto [at, added] = groupOf.try_emplace(criterion, groups.size());
        if (added) {
            groups.push_back(IndexGroup{criterion, {}});
        }
        groups[at->second].entries.push_back(i);
    }
    return groups;
}

std::optional<std::string> indexPageName(std::string_view criterion) {
    std::string name = "index_";
    name += criterion;
    name += ".htm";
    if (!isPlainFileName(name) || name.size() > kLongestName) {
        return std::nullopt;
    }
    return name;
}

std::string indexPageText(const IndexGroup& group, const std::vector<IndexEntry>& entries) {
    std::string text =
        "<!doctype html public \"-//w3c//dtd html 4.0 transitional//en\">\r\n"
        "<html>\r\n"
        "<head>\r\n"
        "<meta name=\"Author\" content=\"Pagewright\">\r\n"
        "<meta name=\"GENERATOR\" content=\"Pagewright\">\r\n"
        "<title>Index ";
    text += group.criterion;
    text += "</title>\r\n</head>\r\n<body>\r\n";
    for (size_t i : group.entries) {
        const IndexEntry& entry = entries[i];
        text += "<a href=\"";
        text += entry.fileName;
        text += "\">";
        text += entry.linkText;
        text += "</a><br>\r\n";
    }
    text += "</body>\r\n</html>\r\n";
    return text;
}

}  // namespace pw
