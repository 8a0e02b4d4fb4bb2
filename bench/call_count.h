#pragma once

#include <string>
#include <vector>

namespace pw::bench {

// Runs the pages run once in this process through a counting wrapper of the file-system layer
// (page names from the first column, titles from the second, ';' between columns) and prints
// "pages total per_page call=count/page ..." on one line: the calls it made per page.
// Arguments: DATA MODEL DEST. Returns the process exit status.
int countPagesCalls(const std::vector<std::string>& args);

}  // namespace pw::bench
