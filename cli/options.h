#pragma once

#include <optional>
#include <string>
#include <vector>

namespace pw::cli {

// The command line, parsed. An option left out stays empty and takes the stored value.
struct Options {
    enum class Command { None, Help, Version, Pages, Links, Index, Yearbook };
    Command command = Command::None;

    std::optional<std::string> data;   // pages, yearbook
    std::optional<std::string> model;  // pages, yearbook
    std::optional<std::string> dest;   // pages, index, yearbook
    std::optional<char> separator;     // pages, yearbook
    // pages: "first", or four tag choices (some empty) naming the page.
    std::optional<std::vector<std::string>> nameTags;
    bool nameFromFirstColumn = false;
    std::optional<std::string> titleTag;      // pages: a tag choice, or empty for "second"
    std::optional<std::string> dir;           // links
    std::optional<std::string> linkTag;       // links
    std::optional<std::string> textTag;       // links, index
    std::optional<std::string> prefix;        // links
    std::optional<std::string> source;        // index
    std::optional<std::string> criterionTag;  // index
    std::optional<std::string> lang;          // "fr" or "en"
    bool quiet = false;
};

// Parses argv[1..]; on bad usage returns nothing and sets `error`.
std::optional<Options> parseOptions(const std::vector<std::string>& args, std::string& error);

// A tag given as a number ("2") or a tag-list item ("Tag N°2"), as the tag-list item; nothing
// when it is neither or its number is above `maxTag`.
std::optional<std::string> tagChoice(const std::string& text, int maxTag);

// The usage text.
const char* usageText();

}  // namespace pw::cli
