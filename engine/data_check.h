#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/run_settings.h"
#include "fs/env.h"
#include "fs/status.h"

namespace pw {

// What a look at a data file and its model before a run can find: each kind makes the pages
// come out other than the person expects, while the run itself succeeds. The order is the
// order of a report: the files as a whole, then the model's lines, then the data's lines.
enum class CheckKind {
    DataUtf16,         // the data file is UTF-16 (a spreadsheet's "Unicode text")
    SeparatorMissing,  // no line holds the separator although the run needs several columns
    NoRegionMarkers,   // the model has no valid region marker
    ModelNoCharset,    // the model declares no character set and the data is not plain ASCII
    MarkerLookalike,   // a model line that looks like a marker but is none
    MarkupDropped,     // a model line of which the run keeps only part, or nothing
    DataNotUtf8,       // a data line that is not UTF-8 while the model declares UTF-8
    DataUtf8ModelNot,  // a data line in UTF-8 while the model declares another character set
    MaybeHeader,       // the first line may be a header row
    BlankLine,         // a line with no value in any column
    ShortForName,      // fewer columns than the page name or the title need
    ShortForModel,     // fewer columns than the model's highest column tag needs
    QuotedField,       // a field that begins or ends with a quotation mark
    RefusedName,       // a page name the run would refuse
    HiddenName,        // a page name that begins with a dot
    DuplicateName,     // a page name an earlier line already gave
};

// Which rule of the run loses text of a model line (MarkupDropped).
enum class DroppedBy {
    Marker,         // a marker line keeps only its marker
    InvalidMarker,  // "<!--tag" without a valid number: the line vanishes
    Title,          // the title line becomes "<title>" + title + "</title>"
    UnclosedTitle,  // no "</title>" on the title line: the lines after it stay after the title
    Generator,      // the generator line becomes the program's own
};

// One thing found. Which fields mean something depends on the kind.
struct CheckFinding {
    uint64_t line = 0;         // from 1, in the data file (model lines for the model's kinds)
    uint64_t earlierLine = 0;  // DuplicateName: the line whose page this one overwrites
    // Short*: the line's columns. QuotedField: the first column concerned. SeparatorMissing:
    // the lines that hold `text`.
    uint64_t columns = 0;
    // Short*: the columns needed. QuotedField: the last column of a value split at the
    // separator (the first column when it is not split).
    uint64_t needed = 0;
    DroppedBy droppedBy = DroppedBy::Marker;
    // The page name, field, line or other separator concerned.
    std::string text;
};

// The findings of one kind: how many, and the first ones.
struct CheckGroup {
    CheckKind kind = CheckKind::BlankLine;
    uint64_t count = 0;
    std::vector<CheckFinding> first;
};

// What to check, as a run would read it.
struct CheckRequest {
    std::string dataPath;
    std::string modelPath;
    char separator = ';';
    // True for the pages run: every line names a page. False for the yearbook.
    bool namesPages = true;
    bool composedNames = false;
    std::array<std::string, 4> namingTags;
    bool titleFromTag = false;
    std::string titleTag;
    // The highest tag that takes a column: 98 for pages (99 is the cross-links block and 100
    // the yearbook's), 99 for the yearbook.
    int highestColumnTag = 98;
    // How many findings of each kind are kept.
    size_t keep = 5;
};

// The request of the pages run or of the yearbook run in `settings`. The pages run's naming
// and titling methods are completed as the run completes them: no composed name without its
// first tag, no title from an empty tag.
CheckRequest pagesCheckRequest(const RunSettings& settings);
CheckRequest yearbookCheckRequest(const RunSettings& settings);

// The two files a check reads.
enum class CheckInput { Data, Model };

// The outcome of a check, for a front end to word.
struct CheckReport {
    uint64_t dataLines = 0;
    char separator = ';';
    bool namesPages = true;
    // The character set the model declares, as written ("utf-8", "iso-8859-1"), or empty.
    std::string modelCharset;
    // The kinds found, in the order of CheckKind.
    std::vector<CheckGroup> groups;
    // The file that could not be read, when the check failed.
    std::optional<CheckInput> unreadable;

    bool clean() const { return groups.empty(); }
};

// Reads the model and then the data file of `request` through `env`, line by line, and reports what
// a run would do that the person may not expect. Writes nothing. Fails, setting
// `report.unreadable`, when a file cannot be opened or read. Memory grows with the number of
// distinct page names (duplicates are found by name).
Status checkDataAndModel(Env& env, const CheckRequest& request, CheckReport& report);

}  // namespace pw
