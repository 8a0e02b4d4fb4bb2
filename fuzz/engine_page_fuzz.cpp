// Runs arbitrary pages through the page substitution rules with values from the input. Any
// page must give lines that all end with CR LF and hold no other CR or LF, a page made from the
// rules' own output must come out unchanged, and no line outside the tag regions may be lost.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "engine/column_table.h"
#include "engine/markers.h"
#include "engine/page_rules.h"
#include "fs/line_reader.h"

namespace {

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Values and titles come from the input, but never hold a line end or begin a marker: such
// values are the data file's business, and would make a second pass differ by design.
std::string tameValue(std::string_view text) {
    std::string value(text);
    for (char& c : value) {
        if (c == '\r' || c == '\n' || c == '<') {
            c = '_';
        }
    }
    return value;
}

void checkLineEnds(const std::string& out) {
    require(out.empty() || (out.size() >= 2 && out.compare(out.size() - 2, 2, "\r\n") == 0));
    for (size_t i = 0; i < out.size(); ++i) {
        if (out[i] == '\r') {
            require(i + 1 < out.size() && out[i + 1] == '\n');
        } else if (out[i] == '\n') {
            require(i > 0 && out[i - 1] == '\r');
        }
    }
}

bool touchesRules(std::string_view line) {
    return pw::contains(line, "<!--tag") || pw::contains(line, "<!--/tag") ||
           pw::contains(line, pw::kGeneratorText) || pw::contains(line, pw::kTitleText);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    // The input is "values \0 page": values are split at "|" into the first slots, the first
    // value is also the title.
    size_t cut = input.find('\0');
    std::string_view values =
        cut == std::string_view::npos ? std::string_view() : input.substr(0, cut);
    std::string_view page = cut == std::string_view::npos ? input : input.substr(cut + 1);

    pw::ColumnTable columns;
    columns.split(tameValue(values), '|');
    std::string title(columns.at(0));

    std::string once = pw::assemblePageText(page, columns, title);
    checkLineEnds(once);
    std::string twice = pw::assemblePageText(once, columns, title);
    require(twice == once);

    // A page without any marker, title or generator line keeps every line, in order.
    std::vector<std::string> in;
    bool plain = true;
    pw::LineReader reader = pw::LineReader::fromMemory(page);
    std::string_view line;
    while (reader.next(line)) {
        plain = plain && !touchesRules(line);
        in.emplace_back(line);
    }
    if (plain) {
        std::string expected;
        for (const std::string& l : in) {
            expected += l;
            expected += "\r\n";
        }
        require(once == expected);
    }
    return 0;
}
