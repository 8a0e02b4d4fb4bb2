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
// Names and values are UTF-8 text. An 8-bit file has each of its lines decoded on its own:
// as UTF-8 when the line is valid UTF-8, else as Windows-1252 (a file from the Windows
// program), and a UTF-8 byte-order mark at the start is set aside. A file that starts with a
// UTF-16 byte-order mark (either byte order) is read as UTF-16 and stays UTF-16. A change
// writes only the lines it touches (as UTF-8, or UTF-16 in a UTF-16 file); every other line
// keeps its bytes.
class IniDocument {
  public:
    // An empty document (no file).
    IniDocument() = default;

    // Splits `bytes` into lines, decoding them as described above.
    static IniDocument parse(std::string_view bytes);

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
        std::string text;  // the line without its line end, in UTF-8
        std::string end;   // "\r\n", "\n", "\r", or empty for a last line without one
        std::string raw;   // the line and its end as the file holds them, until it changes
        bool changed = false;
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

    enum class Encoding { EightBit, Utf16LittleEndian, Utf16BigEndian };
    // `text` in the file's encoding.
    std::string encoded(std::string_view text) const;

    Encoding m_encoding = Encoding::EightBit;
    std::string m_bom;
    std::vector<Line> m_lines;
};

// Blanks and tabs removed at both ends of `text`.
std::string_view trimBlanks(std::string_view text);

// True when `a` and `b` are equal without regard to ASCII letter case.
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace pw
