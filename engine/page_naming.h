#pragma once

#include <array>
#include <string>

#include "engine/column_table.h"
#include "engine/language.h"

namespace pw {

// The file name of the current record's page. With `composed` false, column 0 + ".htm";
// otherwise the columns of the non-empty naming tags joined by "_" (tag 0 always counts)
// + ".htm". Column values are used exactly as they are.
std::string pageName(bool composed, const std::array<std::string, 4>& namingTags,
                     const ColumnTable& columns);

// The column of the page title: 1 when titling from the second column (or the title tag is
// empty), else the number of the title tag.
long long titleColumnOf(bool fromTag, const std::string& titleTag);

// The example of a page name under the naming method: "Exemple: " / "Example: " followed by
// the name the tags chosen so far give for the current columns.
std::string namingExample(Language language, const std::array<std::string, 4>& namingTags,
                          const ColumnTable& columns);

}  // namespace pw
