// The yearbook page grown record by record in one pass must equal the page rewritten whole
// once per record, for any model and any records, after every record. Values are data: after
// the first record, the lines that a pass replaces with a block copy never grow in number,
// whatever the values hold, so no record adds more blocks than the one before it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "engine/column_table.h"
#include "engine/markers.h"
#include "fs/line_reader.h"
#include "index/yearbook_rules.h"

namespace {

// Models with several end markers add several blocks per record; the comparison stops before
// the page gets large.
constexpr uint64_t kLargestPage = 20000;

std::string joined(const std::vector<pw::YearbookLine>& lines) {
    std::string text;
    for (const pw::YearbookLine& line : lines) {
        text += line.text;
        text += "\r\n";
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    // The first byte picks the separator and the most records; a 0x01 byte ends the model.
    const char separator = ";|,:#&$"[data[0] % 7];
    const int mostRecords = (data[0] >> 3) % 6;
    std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    size_t split = input.find('\x01');
    std::string_view model = input.substr(0, split);
    std::string_view records = split == std::string_view::npos ? "" : input.substr(split + 1);

    pw::YearbookBuilder builder(model);
    std::vector<std::string> lines;
    pw::LineReader modelLines = pw::LineReader::fromMemory(model);
    std::string_view line;
    while (modelLines.next(line)) {
        lines.emplace_back(line);
    }
    const std::vector<pw::BlockItem> block = pw::blockTemplateOf(lines);
    std::vector<pw::YearbookLine> page;
    for (std::string& text : lines) {
        page.push_back(pw::YearbookLine{std::move(text), false});
    }

    pw::ColumnTable columns;
    pw::LineReader reader = pw::LineReader::fromMemory(records);
    std::string settled;
    std::vector<pw::YearbookLine> next;
    size_t endMarkers = 0;
    for (int record = 0; record < mostRecords && reader.next(line); ++record) {
        columns.split(line, separator);
        builder.addRecord(columns);
        builder.takeSettled(settled);
        next.clear();
        pw::applyYearbookPass(page, record == 0, columns, block, next);
        page.swap(next);

        std::string grown = settled;
        builder.finish(grown);
        if (grown != joined(page) || builder.pageLines() != page.size()) {
            std::abort();
        }
        size_t ends = 0;
        for (const pw::YearbookLine& pageLine : page) {
            // The lines the next pass replaces with a block copy.
            const std::string& text = pageLine.text;
            ends += !pageLine.value && text.find(pw::kOpenerPrefix) == std::string::npos &&
                    text.find(pw::kBlockEnd) != std::string::npos;
        }
        if (record > 0 && ends > endMarkers) {
            std::abort();
        }
        endMarkers = ends;
        if (page.size() > kLargestPage) {
            break;
        }
    }
    if (builder.records() == 0) {
        std::string unchanged;
        builder.finish(unchanged);
        if (unchanged != model) {
            std::abort();
        }
    }
    return 0;
}
