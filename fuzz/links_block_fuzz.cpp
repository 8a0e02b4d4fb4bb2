// Feeds arbitrary pages to the link-block rewrite and the tag-line reading, and checks what
// must hold for any page: CR LF line ends, no line lost after the last marker, a second
// rewrite changing nothing and adding no block even when the link texts (the page's own text
// line among them) hold markers, tag lines that are lines of the page.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "engine/markers.h"
#include "fs/line_reader.h"
#include "links/link_block.h"
#include "links/tag_line.h"

namespace {

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

std::vector<std::string> linesOf(std::string_view bytes) {
    std::vector<std::string> lines;
    if (bytes.empty()) {
        return lines;
    }
    pw::LineReader reader = pw::LineReader::fromMemory(bytes);
    std::string_view line;
    while (reader.next(line)) {
        lines.emplace_back(line);
    }
    return lines;
}

bool holdsMarker(std::string_view line) {
    return pw::contains(line, pw::kLinkBlockStart) || pw::contains(line, pw::kLinkBlockEnd);
}

void checkTagLine(std::string_view page, const std::vector<std::string>& lines,
                  std::string_view marker) {
    pw::TagLine tag = pw::tagLineOf(page, marker);
    switch (tag.kind) {
        case pw::TagLine::Kind::EmptyFile:
            require(lines.empty());
            break;
        case pw::TagLine::Kind::NotFound:
            require(!lines.empty());
            require(tag.text.empty());
            break;
        case pw::TagLine::Kind::Line: {
            require(!pw::contains(tag.text, marker));
            bool seen = false;
            bool found = false;
            for (const std::string& line : lines) {
                if (pw::contains(line, marker)) {
                    found = true;
                } else if (found) {
                    seen = line == tag.text;
                    break;
                }
            }
            require(seen);
            break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    // The first byte chooses how many links the block gets and which texts they show; the
    // rest is the page.
    unsigned char choice = input.empty() ? 0 : static_cast<unsigned char>(input[0]);
    size_t count = choice % 4;
    std::string_view page = input.empty() ? input : input.substr(1);

    static const std::vector<pw::Link> kPlain = {
        {"lyon.htm", "Lyon"}, {"a b.htm", "  "}, {"x.htm", "<i>\xE9t\xE9</i>"}};
    static const std::vector<pw::Link> kMarked = {{"<!--tag99-->.htm", "<!--tag99-->"},
                                                  {"b.htm", "x<!--/tag99-->"},
                                                  {"c.htm", "<!--tag<!--tag2-->99--><!--tag3-->"}};
    const std::vector<pw::Link>& all = choice & 4 ? kMarked : kPlain;
    std::vector<pw::Link> links(all.begin(), all.begin() + static_cast<long>(count));
    // As a partner's page would give it: the text line of this very page.
    if (choice & 8) {
        links.push_back({"self.htm", pw::tagLineOf(page, "<!--tag3-->").text});
    }
    static const std::vector<std::string> kTagMarkers = {"<!--tag2-->", "<!--tag3-->"};

    std::vector<std::string> lines = linesOf(page);
    std::string once = pw::p_ajoute_lien(page, links, "  ../p/ ", kTagMarkers);

    // Every line ends with CR LF and nothing else ends a line.
    require(once.empty() == lines.empty());
    for (size_t i = 0; i < once.size(); ++i) {
        if (once[i] == '\r') {
            require(i + 1 < once.size() && once[i + 1] == '\n');
        } else if (once[i] == '\n') {
            require(i > 0 && once[i - 1] == '\r');
        }
    }

    // A page without start marker keeps its lines; every page keeps the lines after its last
    // marker line; every start marker line gives one, no link line gives any.
    std::vector<std::string> out = linesOf(once);
    bool hasStart = false;
    size_t afterLastMarker = 0;
    size_t starts = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        hasStart = hasStart || pw::contains(lines[i], pw::kLinkBlockStart);
        starts += pw::contains(lines[i], pw::kLinkBlockStart) ? 1 : 0;
        if (holdsMarker(lines[i])) {
            afterLastMarker = i + 1;
        }
    }
    size_t startsOut = 0;
    for (const std::string& line : out) {
        startsOut += pw::contains(line, pw::kLinkBlockStart) ? 1 : 0;
    }
    require(startsOut == starts);
    if (!hasStart) {
        require(out == lines);
    }
    size_t tail = lines.size() - afterLastMarker;
    require(out.size() >= tail);
    for (size_t k = 0; k < tail; ++k) {
        require(out[out.size() - tail + k] == lines[afterLastMarker + k]);
    }

    // The block is regenerated, never appended to.
    require(pw::p_ajoute_lien(once, links, "  ../p/ ", kTagMarkers) == once);

    checkTagLine(page, lines, "<!--tag2-->");
    checkTagLine(page, lines, pw::kLinkBlockStart);
    checkTagLine(once, out, pw::kLinkBlockStart);
    pw::PageTags both = pw::pageTagsOf(page, "<!--tag2-->", pw::kLinkBlockStart);
    require(both.link.text == pw::tagLineOf(page, "<!--tag2-->").text);
    require(both.text.kind == pw::tagLineOf(page, pw::kLinkBlockStart).kind);
    return 0;
}
