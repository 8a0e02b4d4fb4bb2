#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/disk.h"

namespace pw {

// True when a file of this name is a page of the cross-linking and index runs: its name ends
// in "htm" in any letter case and does not begin with "." (hidden).
bool isPageName(std::string_view name);

// The pages of a directory in listing order (sortInListingOrder): the regular files with a
// page name. Directories, symbolic links and special files are not pages.
std::vector<std::string> listPages(const Directory& directory);

}  // namespace pw
