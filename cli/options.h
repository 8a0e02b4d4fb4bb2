#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/language.h"

namespace pw::cli {

// The command line, parsed. An option left out stays empty and takes the stored value.
struct Options {
    enum class Command { None, Help, Version, Check, Pages, Links, Index, Yearbook };
    Command command = Command::None;
    // With Help: the command whose part is asked for, None for the whole help.
    Command helpTopic = Command::None;

    std::optional<std::string> data;   // check, pages, yearbook
    std::optional<std::string> model;  // check, pages, yearbook
    std::optional<std::string> dest;   // check, pages, index, yearbook
    std::optional<char> separator;     // check, pages, yearbook
    // check, pages: "first", or four tag choices (some empty) naming the page.
    std::optional<std::vector<std::string>> nameTags;
    bool nameFromFirstColumn = false;
    std::optional<std::string> titleTag;      // check, pages: a tag choice, or empty for "second"
    std::optional<std::string> dir;           // links
    std::optional<std::string> linkTag;       // links
    std::optional<std::string> textTag;       // links, index
    std::optional<std::string> prefix;        // links
    std::optional<std::string> source;        // index
    std::optional<std::string> criterionTag;  // index
    std::optional<std::string> lang;          // "fr" or "en"
    bool quiet = false;
    // pages, links, index, yearbook: the whole run without writing anything.
    bool dryRun = false;
};

// What was wrong with a command line, in both languages.
struct UsageError {
    std::string french;
    std::string english;
    const std::string& in(Language language) const {
        return language == Language::French ? french : english;
    }
};

// Parses argv[1..]; on bad usage returns nothing and sets `error`. "--help" or "-h" after a
// command asks for that command's help whatever else the line holds; "--lang" is still read.
std::optional<Options> parseOptions(const std::vector<std::string>& args, UsageError& error);

// The language asked for by "--lang fr|en" anywhere in `args`, even when the line is bad.
std::optional<std::string> languageOption(const std::vector<std::string>& args);

// A tag given as a number ("2") or a tag-list item ("Tag N°2"), as the tag-list item; nothing
// when it is neither or its number is above `maxTag`.
std::optional<std::string> tagChoice(const std::string& text, int maxTag);

// A separator given as one of the seven of the separator list, or as a tab ("tab" or the
// character itself); nothing for anything else.
std::optional<char> separatorChoice(const std::string& text);

// The name of a command as typed ("pages"); empty for Help, Version and None.
const char* commandName(Options::Command command);

}  // namespace pw::cli
