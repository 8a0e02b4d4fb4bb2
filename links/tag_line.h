#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>

#include "fs/line_reader.h"

namespace pw {

// What a page gives for a start marker: its tag line, the first line after the first line
// holding the marker that does not itself hold the marker. A page whose lines never reach
// such a line has none; an empty file has no line at all.
struct TagLine {
    enum class Kind { Line, NotFound, EmptyFile };
    Kind kind = Kind::NotFound;
    std::string text;  // the whole line, as read, when kind is Line
};

// Finds the tag line of one marker in a page fed to it line by line.
class TagLineFinder {
  public:
    explicit TagLineFinder(std::string_view marker) : m_marker(marker) {}

    // Takes the next line of the page; returns true once the tag line is known (later lines
    // change nothing).
    bool feed(std::string_view line);
    bool done() const { return m_done; }
    // The tag line given the lines fed so far, as if the page ended there.
    TagLine result() const;

  private:
    std::string m_marker;
    bool m_found = false;
    bool m_done = false;
    bool m_anyLine = false;
    std::string m_line;
};

// Lines of a page held in memory, as the line reader splits them (CR, LF and CR LF end a line):
// where the line starting at `begin` ends (at its CR or LF, or at the end of the bytes), where
// the line after the one ending at `end` starts, and where the line holding `at` starts.
size_t lineEndAt(std::string_view bytes, size_t begin);
size_t nextLineAt(std::string_view bytes, size_t end);
size_t lineStartAt(std::string_view bytes, size_t at);
// True when every line of `bytes` ends with CR LF, the last one included: the bytes are then
// exactly their lines, each followed by CR LF.
bool endsEveryLineWithCrLf(std::string_view bytes);

// The tag line of `marker` in a page held in memory.
TagLine tagLineOf(std::string_view bytes, std::string_view marker);

// The two tag lines the cross-linking needs from a page: its link value and its link text.
struct PageTags {
    TagLine link;
    TagLine text;
};

// Reads lines until both tag lines are known or the page ends; false when a read fails.
bool readPageTags(LineReader& reader, std::string_view linkMarker, std::string_view textMarker,
                  PageTags& tags);

// Both tag lines of a page held in memory.
PageTags pageTagsOf(std::string_view bytes, std::string_view linkMarker,
                    std::string_view textMarker);

// `text` without its leading and trailing spaces (blanks only; tabs are kept).
std::string_view trimSpaces(std::string_view text);

// The key two pages are compared by: the tag line without leading and trailing spaces, the
// empty text for an empty file, nothing for a page without tag line (it matches no page).
std::optional<std::string_view> linkKeyOf(const TagLine& tagLine);

// Draws the value that stands for a missing tag line: "Nom" followed by a pseudo-random whole
// number from 0 to 999999, drawn anew at every use.
class NotFoundValues {
  public:
    NotFoundValues() : m_engine(std::random_device{}()) {}
    explicit NotFoundValues(uint64_t seed) : m_engine(seed) {}

    std::string next();

  private:
    std::mt19937_64 m_engine;
};

// The text a tag line stands for when it is used: the line, the empty text for an empty file,
// a fresh not-found value for a page without tag line.
std::string textOf(const TagLine& tagLine, NotFoundValues& notFound);

}  // namespace pw
