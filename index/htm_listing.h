#pragma once

#include <string>
#include <vector>

#include "engine/disk.h"

namespace pw {

// The plain files of `directory` whose names end in ".htm" in any letter case, in the order
// the directory lists them (not sorted). Hidden files (a leading ".") are left out; a link
// counts when it leads to a plain file. Empty when the directory cannot be read.
std::vector<std::string> listHtmPages(const Directory& directory);

}  // namespace pw
