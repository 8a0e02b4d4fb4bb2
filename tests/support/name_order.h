#pragma once

#include <algorithm>
#include <cctype>
#include <string>
#include <utility>
#include <vector>

namespace pw::test {

// Sorts page names the way the cross-links and index runs take them: by name with a-z read as
// A-Z, ties by the bytes. Written out plainly here, apart from the program's own sort, so the
// differential tests check that sort too.
inline void sortInNameOrder(std::vector<std::string>& names) {
    auto upper = [](std::string text) {
        for (char& c : text) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        return text;
    };
    std::sort(names.begin(), names.end(), [&](const std::string& a, const std::string& b) {
        return std::make_pair(upper(a), a) < std::make_pair(upper(b), b);
    });
}

}  // namespace pw::test
