#pragma once

#include <cstdint>
#include <string>

namespace pw::bench {

// Which HTML model to write.
enum class ModelKind {
    Pages,      // a product page: title line, generator line and ten regions (tags 2 to 11)
    LinkPages,  // the same page with an empty link block (tag 99) for the cross-links run
    Yearbook,   // a one-page list whose repeated block (tag 100) holds one row per record
    Small,      // a page of about 300 bytes: title line, generator line and one region (tag 1)
    LongLine,   // the Pages model with a line of 100 MB after "<body>"
};

// Writes `records` data records of twelve ';'-separated columns to `path`, one per line.
// Column 0 names the page ("item-0000001"), column 1 is its title, column 2 its link value
// (about a fifth of the records share it in groups of five, the others are unique), column 3
// a short name, column 4 one of a hundred towns; the rest is realistic page content.
// A non-zero `edition` adds " (edition E)" to every title, so that every page made from the
// records changes. Returns false when the file cannot be written.
bool writeDataFile(const std::string& path, uint64_t records, uint64_t edition = 0);

// Writes `records` short records to `path`: a page name and a title of about 20 bytes each.
bool writeShortDataFile(const std::string& path, uint64_t records);

// Writes the model `kind` to `path`; the page models are about 6 KB and 150 lines.
// Returns false when the file cannot be written.
bool writeModel(const std::string& path, ModelKind kind);

// The file name of the page of record `i` (from 1), as the pages run names it from column 0.
std::string pageFileName(uint64_t i);

}  // namespace pw::bench
