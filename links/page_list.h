#pragma once

#include <string_view>

namespace pw {

// True when a file of this name is a page of the cross-linking run: its name ends in "htm" in
// any letter case and does not begin with "." (hidden).
bool isPageName(std::string_view name);

}  // namespace pw
