#pragma once

#include <cstddef>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace pw {

// Tag markers: "<!--tag" + k + "-->" opens region k and "<!--/tag" + k + "-->" closes it, k in
// decimal without sign, leading zero or blank. Matching is exact and case-sensitive.
inline constexpr std::string_view kOpenerPrefix = "<!--tag";
inline constexpr std::string_view kCloserPrefix = "<!--/tag";
inline constexpr std::string_view kMarkerSuffix = "-->";
// The generator meta line is recognised by this text and rewritten as kGeneratorLine.
inline constexpr std::string_view kGeneratorText = "<meta name=\"GENERATOR\" content=";
inline constexpr std::string_view kGeneratorLine =
    "<meta name=\"GENERATOR\" content=\"Pagewright\">";
inline constexpr std::string_view kTitleText = "<title>";

inline bool contains(std::string_view line, std::string_view text) {
    return line.find(text) != std::string_view::npos;
}

// Calls `visit(at)` with each place `at` of `text` where "<!" stands, in order, until it
// returns false. Every tag marker begins there, and a page rarely holds a '!' outside its
// comments, so the walk goes from '!' to '!' instead of through every '<' of the page.
template <typename Visit>
void forEachMarkerStart(std::string_view text, Visit visit) {
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    // A '!' at the very start cannot follow a '<'.
    const char* at = text.empty() ? end : begin + 1;
    while (at < end) {
        at = static_cast<const char*>(std::memchr(at, '!', static_cast<size_t>(end - at)));
        if (at == nullptr) {
            return;
        }
        if (at[-1] == '<' && !visit(static_cast<size_t>(at - 1 - begin))) {
            return;
        }
        ++at;
    }
}

// The first place of `marker` in `text`, or npos; a marker that begins with "<!" (every tag
// marker does) is found by forEachMarkerStart.
size_t findMarker(std::string_view text, std::string_view marker);

// The first place of each of `markers` in `text` into `places` (npos for one it does not
// hold), the markers that begin with "<!" found together in one walk.
void findMarkers(std::string_view text, std::span<const std::string_view> markers,
                 std::span<size_t> places);

// The smallest k in 0..maxTag for which `line` contains "<!--tag" + k + "-->", if any.
std::optional<int> smallestOpenerTag(std::string_view line, int maxTag);

// "<!--tag" + k + "-->" and "<!--/tag" + k + "-->".
std::string openerMarker(long long k);
std::string closerMarker(long long k);

// The tag text of a tag choice: what follows the first "°" of `choice`, or the whole text when
// it has none ("Tag N°2" gives "2", a typed "7" gives "7").
std::string_view tagText(std::string_view choice);

// The start marker of a tag choice: "<!--tag" + tagText(choice) + "-->".
std::string startMarkerOf(std::string_view choice);

// The number of a tag choice: the leading decimal digits of its tag text (blanks before them
// skipped); 0 when there are none, as the tag lists have always read it.
long long tagNumber(std::string_view choice);

}  // namespace pw
