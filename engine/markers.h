#pragma once

#include <cstddef>
#include <optional>
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

// The first place of `marker` in `text`, or npos. A marker that begins with "<!" (every tag
// marker does) is found by its '!', which a page rarely holds outside its comments, instead of
// at every '<' of the page.
size_t findMarker(std::string_view text, std::string_view marker);

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
