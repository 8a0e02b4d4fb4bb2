#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/data_check.h"
#include "engine/language.h"

namespace pw {

// The words of a check, the same for every front end.

// A group as lines to show: a heading that says what was found and what the run would do with
// it (a group about a whole file says it all there), then each finding kept, indented by two
// blanks, then "and N more (M in all)" when some were left out.
std::vector<std::string> checkGroupLines(const CheckGroup& group, const CheckReport& report,
                                         Language language);

// Every group of `report`, in order.
std::vector<std::string> checkReportLines(const CheckReport& report, Language language);

// The closing line: how many lines were checked and how many kinds of warning were found.
std::string checkClosingLine(const CheckReport& report, Language language);

// The separator as a person reads it: the character in quotation marks, or the word for tab.
std::string separatorWords(char separator, Language language);

// Bytes of a data file or model made fit to show on one line: control characters and bytes that
// are not UTF-8 become \xNN, and past `limit` characters the text is cut and ends with "...".
std::string shownExcerpt(std::string_view text, size_t limit = 60);

}  // namespace pw
