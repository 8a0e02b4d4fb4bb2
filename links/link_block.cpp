#include "links/link_block.h"

#include <cstdint>

#include "engine/line_reader.h"
#include "engine/markers.h"
#include "links/tag_line.h"

namespace pw {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr uint64_t kNoLine = UINT64_MAX;

}  // namespace

void appendLinkLine(std::string& out, std::string_view prefix, std::string_view target,
                    std::string_view text) {
    out += "<a href =\"";
    out += prefix;
    out += target;
    out += "\">";
    out += text;
    out += "</a><br>";
    out += kLineEnd;
}

std::string p_ajoute_lien(std::string_view page, const std::vector<Link>& links,
                          std::string_view tag99) {
    if (page.empty()) {
        return {};
    }
    // Where the last end marker stands decides whether a start marker is ever closed.
    uint64_t lastEndLine = kNoLine;
    uint64_t number = 0;
    std::string_view line;
    {
        LineReader reader = LineReader::fromMemory(page);
        while (reader.next(line)) {
            if (contains(line, kLinkBlockEnd)) {
                lastEndLine = number;
            }
            ++number;
        }
    }

    std::string_view prefix = trimSpaces(tag99);
    std::string block(kLinkBlockStart);
    block += kLineEnd;
    for (const Link& link : links) {
        appendLinkLine(block, prefix, link.target, link.text);
    }

    std::string out;
    out.reserve(page.size() + block.size() + number * kLineEnd.size());
    LineReader reader = LineReader::fromMemory(page);
    bool inBlock = false;
    number = 0;
    while (reader.next(line)) {
        if (contains(line, kLinkBlockEnd)) {
            inBlock = false;
        }
        size_t start = line.find(kLinkBlockStart);
        if (start != std::string_view::npos) {
            out += block;
            bool closedOnLine =
                line.find(kLinkBlockEnd, start + kLinkBlockStart.size()) != std::string_view::npos;
            bool closedLater = lastEndLine != kNoLine && lastEndLine > number;
            if (closedOnLine || !closedLater) {
                out += kLinkBlockEnd;
                out += kLineEnd;
                inBlock = false;
            } else {
                inBlock = true;
            }
        } else if (!inBlock) {
            out += line;
            out += kLineEnd;
        }
        ++number;
    }
    return out;
}

}  // namespace pw
