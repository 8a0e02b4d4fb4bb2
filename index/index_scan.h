#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pw {

// What one page gives the index: its criterion line and its link-text line (empty when the
// page has no link-text tag), each the line right after the last line holding its marker.
struct PageCapture {
    std::string criterion;
    std::string linkText;
};

// Reads one page line by line for the index. A line holding the criterion marker makes the
// next line the criterion line, one holding the link-text marker makes it the link-text line;
// on a line holding both, the link-text marker wins. The last occurrence of each wins.
class IndexPageScanner {
  public:
    IndexPageScanner(std::string_view criterionMarker, std::string_view textMarker)
        : m_criterionMarker(criterionMarker), m_textMarker(textMarker) {}

    // Starts a new page: nothing captured, the capture state idle.
    void reset();
    void feed(std::string_view line);
    // The capture of the page fed so far; empty when no criterion line was found.
    std::optional<PageCapture> capture() const;

  private:
    enum class Expect { Nothing, Criterion, LinkText };

    std::string m_criterionMarker;
    std::string m_textMarker;
    Expect m_expect = Expect::Nothing;
    bool m_found = false;
    PageCapture m_capture;
};

// Scans a whole page held in memory (lines end at CR, LF or CR LF) with the same result as
// feeding its lines to an IndexPageScanner, without splitting it into lines: only the lines
// around the markers are looked at.
std::optional<PageCapture> scanIndexPage(std::string_view bytes, std::string_view criterionMarker,
                                         std::string_view textMarker);

// The number of lines of `bytes` (CR, LF and CR LF each end one; a last line without an end
// counts).
uint64_t countLines(std::string_view bytes);

// True for a name the index lists: it ends in ".htm" in any letter case and is not hidden.
bool isListedPageName(std::string_view name);

// True for a page that is counted but never read: its name begins with "index" in any letter
// case, as the index pages of this run and the yearbook page do.
bool isIndexPageName(std::string_view name);

}  // namespace pw
