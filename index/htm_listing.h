#pragma once

#include <string>
#include <vector>

#include "engine/disk.h"

namespace pw {

// The plain files of `directory` whose names end in ".htm" in any letter case, in name order
// (sortInListingOrder), so index entries come in the same order on every file system. Hidden files
// (a leading ".") are left out; a link counts when it leads to a plain file. Empty when the
// directory cannot be read.
std::vector<std::string> listHtmPages(const Directory& directory);

}  // namespace pw
