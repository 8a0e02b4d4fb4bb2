#include "links/page_list.h"

namespace pw {

bool isPageName(std::string_view name) {
    if (name.size() < 3 || name.front() == '.') {
        return false;
    }
    std::string_view end = name.substr(name.size() - 3);
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return lower(end[0]) == 'h' && lower(end[1]) == 't' && lower(end[2]) == 'm';
}

}  // namespace pw
