#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fs/status.h"

namespace pw {

// A settings file held in memory line by line, read and changed with the rules of the
// Windows profile functions: `[Section]` lines open sections, `key=value` lines hold values,
// `;` lines are comments, anything else is ignored. Sections and keys compare without regard
// to ASCII case; only the first of duplicate sections is searched, and in it the first of
// duplicate keys counts. CR LF, LF and CR alone each end a line.
//
// Text is UTF-8. A file whose bytes are not valid UTF-8 is decoded as Windows-1252; its
// lines are then held (and written back) in UTF-8, so the first change converts the whole
// file to UTF-8 with every line's meaning and line end kept.
class IniDocument {
  public:
    // An empty document (no file).
    IniDocument() = default;

    // Splits `bytes` into lines, decoding them as described above.
    static IniDocument parse(std::string_view bytes);

    // True when the bytes given to parse() were decoded as Windows-1252.
    bool wasWindows1252() const { return m_windows1252; }

    // The raw text after the '=' of `key` in `section` (untrimmed), or nothing when the
    // section or the key is missing.
    std::optional<std::string_view> rawValue(std::string_view section, std::string_view key) const;

    // The profile read: the value of `key` in `section` with blanks and tabs trimmed at both
    // ends, one matching pair of outer quotes removed, and cut to `limit` characters. A
    // missing key gives `defaultValue` without its trailing blanks, cut to `limit`.
    std::string read(std::string_view section, std::string_view key, std::string_view defaultValue,
                     std::size_t limit) const;

    // The profile write: replaces the value of an existing key in place (the key keeps its
    // spelling and the line ends with CR LF), adds a missing key after the last key of its
    // section, or appends a missing section at the end. Every other line stays as it was.
    // Refuses names and values that would break the layout (line ends, '=' or ']' in names)
    // and text that is not valid UTF-8.
    Status write(std::string_view section, std::string_view key, std::string_view value);

    // The document as file bytes.
    std::string serialize() const;

  private:
    enum class Kind { Other, Section, Key };

    struct Line {
        std::string text;  // the line without its line end
        std::string end;   // "\r\n", "\n", "\r", or empty for a last line without one
        Kind kind = Kind::Other;
        std::string name;            // trimmed section or key name
        std::size_t valueStart = 0;  // for keys: offset just after the '='
    };

    static void classify(Line& line);
    // Index of the first section header named `section`, if any.
    std::optional<std::size_t> findSection(std::string_view section) const;
    // Index of the first line of `key` in the section whose header is at `header`, and the
    // index of the last key line of that section (the header itself when it has no key).
    std::optional<std::size_t> findKey(std::size_t header, std::string_view key,
                                       std::size_t* lastKeyLine) const;
    void insertLine(std::size_t position, std::string text);

    std::string m_bom;
    std::vector<Line> m_lines;
    bool m_windows1252 = false;
};

// Blanks and tabs removed at both ends of `text`.
std::string_view trimBlanks(std::string_view text);

// True when `a` and `b` are equal without regard to ASCII letter case.
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace pw
