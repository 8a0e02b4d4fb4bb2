#include "links/link_block.h"

#include <algorithm>

#include "engine/markers.h"
#include "fs/line_reader.h"
#include "links/tag_line.h"

namespace pw {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

struct Found {
    size_t at = std::string_view::npos;
    size_t size = 0;
};

// The first occurrence in `text` of a block marker or of one of `tagMarkers`.
Found firstMarker(std::string_view text, std::span<const std::string> tagMarkers) {
    Found first;
    auto consider = [&](std::string_view marker) {
        size_t at = text.find(marker);
        if (at < first.at) {
            first = Found{at, marker.size()};
        }
    };
    consider(kLinkBlockStart);
    consider(kLinkBlockEnd);
    for (const std::string& marker : tagMarkers) {
        if (!marker.empty()) {
            consider(marker);
        }
    }
    return first;
}

bool holdsAny(std::string_view text, std::span<const std::string> tagMarkers) {
    return firstMarker(text, tagMarkers).at != std::string_view::npos;
}

// True when `text` holds the start marker or the end marker of one of the regions whose start
// markers are `tagMarkers`.
bool boundsTagRegion(std::string_view text, std::span<const std::string> tagMarkers) {
    for (const std::string& marker : tagMarkers) {
        if (marker.empty()) {
            continue;
        }
        if (contains(text, marker)) {
            return true;
        }
        if (marker.starts_with(kOpenerPrefix)) {
            std::string closer(kCloserPrefix);
            closer += std::string_view(marker).substr(kOpenerPrefix.size());
            if (contains(text, closer)) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

std::string withoutMarkers(std::string_view text, std::span<const std::string> tagMarkers) {
    std::string clean(text);
    // Taking one marker out can join two pieces into a new one, hence the search anew.
    for (Found found = firstMarker(clean, tagMarkers); found.at != std::string::npos;
         found = firstMarker(clean, tagMarkers)) {
        clean.erase(found.at, found.size);
    }
    return clean;
}

void appendLinkLine(std::string& out, std::string_view prefix, std::string_view target,
                    std::string_view text, std::span<const std::string> tagMarkers) {
    size_t begin = out.size();
    out += "<a href =\"";
    out += prefix;
    out += target;
    out += "\">";
    if (holdsAny(text, tagMarkers)) {
        out += withoutMarkers(text, tagMarkers);
    } else {
        out += text;
    }
    out += "</a><br>";
    // What is left is in the address (the prefix or the file name): each "<" written "&lt;"
    // takes one "<" away, so this ends.
    for (Found found = firstMarker(std::string_view(out).substr(begin), tagMarkers);
         found.at != std::string_view::npos;
         found = firstMarker(std::string_view(out).substr(begin), tagMarkers)) {
        out.replace(begin + found.at, 1, "&lt;");
    }
    out += kLineEnd;
}

std::string p_ajoute_lien(std::string_view page, const std::vector<Link>& links,
                          std::string_view tag99, std::span<const std::string> tagMarkers) {
    if (page.empty()) {
        return {};
    }
    // The places of the block's markers, found in one walk over the page.
    std::vector<size_t> starts;
    std::vector<size_t> ends;
    forEachMarkerStart(page, [&](size_t at) {
        const std::string_view rest = page.substr(at);
        if (rest.starts_with(kLinkBlockStart)) {
            starts.push_back(at);
        }
        if (rest.starts_with(kLinkBlockEnd)) {
            ends.push_back(at);
        }
        return true;
    });
    // Where the last end marker stands decides whether a start marker is ever closed: the
    // start of the last line holding one.
    const size_t lastEnd = ends.empty() ? std::string_view::npos : lineStartAt(page, ends.back());

    std::string_view prefix = trimSpaces(tag99);
    std::string block(kLinkBlockStart);
    block += kLineEnd;
    for (const Link& link : links) {
        appendLinkLine(block, prefix, link.target, link.text, tagMarkers);
    }

    std::string out;
    out.reserve(page.size() + block.size() + page.size() / 16);
    bool inBlock = false;
    // The next place of each marker at or after the current line (the page's size when there
    // is none), moved on once the line holding it is passed.
    auto nextOf = [&page](const std::vector<size_t>& places, size_t& index, size_t from) {
        while (index < places.size() && places[index] < from) {
            ++index;
        }
        return index < places.size() ? places[index] : page.size();
    };
    size_t startIndex = 0;
    size_t endIndex = 0;
    size_t begin = 0;
    while (begin < page.size()) {
        const size_t nextStart = nextOf(starts, startIndex, begin);
        const size_t nextEnd = nextOf(ends, endIndex, begin);
        // The lines before the next one holding a marker pass whole, or vanish inside a block.
        const size_t nextMarker = std::min(nextStart, nextEnd);
        const size_t markerLine =
            nextMarker == page.size() ? page.size() : lineStartAt(page, nextMarker);
        if (!inBlock && markerLine > begin) {
            // Lines that already end with CR LF (as every page this program writes) pass as
            // one piece; others are written line by line with CR LF.
            const std::string_view stretch = page.substr(begin, markerLine - begin);
            if (endsEveryLineWithCrLf(stretch)) {
                out += stretch;
            } else {
                LineReader reader = LineReader::fromMemory(stretch);
                std::string_view plain;
                while (reader.next(plain)) {
                    out += plain;
                    out += kLineEnd;
                }
            }
        }
        begin = markerLine;
        if (begin >= page.size()) {
            break;
        }
        const size_t lineEnd = lineEndAt(page, begin);
        const std::string_view line = page.substr(begin, lineEnd - begin);
        bool wasInBlock = inBlock;
        if (contains(line, kLinkBlockEnd)) {
            inBlock = false;
        }
        size_t start = line.find(kLinkBlockStart);
        if (start != std::string_view::npos) {
            // Text before the marker lies outside every block when no block was open or an end
            // marker in that text closes it.
            std::string_view before = line.substr(0, start);
            bool outside = !wasInBlock || contains(before, kLinkBlockEnd);
            if (outside && boundsTagRegion(before, tagMarkers)) {
                out += before;
                out += kLineEnd;
            }
            out += block;
            bool closedOnLine =
                line.find(kLinkBlockEnd, start + kLinkBlockStart.size()) != std::string_view::npos;
            bool closedLater = lastEnd != std::string_view::npos && lastEnd > begin;
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
        begin = nextLineAt(page, lineEnd);
    }
    return out;
}

}  // namespace pw
