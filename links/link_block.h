#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pw {

// The link block of a page lies between the lines holding these markers.
inline constexpr std::string_view kLinkBlockStart = "<!--tag99-->";
inline constexpr std::string_view kLinkBlockEnd = "<!--/tag99-->";

// One link of a page's block: the partner's file name and the text shown for it.
struct Link {
    std::string target;
    std::string text;
};

// `text` with every occurrence of the block markers and of `tagMarkers` removed, again until
// none is left. Those markers are comments, so the text shows the same in a page.
std::string withoutMarkers(std::string_view text, std::span<const std::string> tagMarkers);

// Appends one link line with its CR LF: `<a href ="` + prefix + target + `">` + text +
// `</a><br>`. Nothing else is escaped: the prefix and the text are HTML. A line that would
// hold a block marker or one of `tagMarkers` gets it neutralised (the text without it, the
// address with its "<" written "&lt;", which HTML reads as the same address), since the next run
// would read it back as part of the page's layout: a start marker would open another block, an end
// marker would close the block early and be kept, a tag's marker would move that tag's line.
void appendLinkLine(std::string& out, std::string_view prefix, std::string_view target,
                    std::string_view text, std::span<const std::string> tagMarkers = {});

// The page `page` with its link block regenerated (`p_ajoute_lien`): every line holding the
// start marker becomes the bare start marker followed by one line per link, in order, with
// `tag99` (its leading and trailing spaces removed) before each target; the lines after it
// up to the next line holding the end marker are dropped and that line is kept whole; every
// other line is copied. A start marker with no end marker after it, on its line or a later
// one, gets a bare end marker after its links, and a line holding a start marker followed by
// an end marker becomes the start marker, the links and the bare end marker, so no later line
// is ever lost. Lines are read as CR, LF or CR LF and written with CR LF, the last one too.
// `tagMarkers` are the start markers the run reads its tags by: no link line holds them (see
// appendLinkLine), and when the text before a start marker that stands outside any block holds
// one of them or the matching end marker, that text is kept as a line of its own before the
// block, so the region it bounds is not lost and the page reads the same at the next run.
std::string p_ajoute_lien(std::string_view page, const std::vector<Link>& links,
                          std::string_view tag99, std::span<const std::string> tagMarkers = {});

}  // namespace pw
