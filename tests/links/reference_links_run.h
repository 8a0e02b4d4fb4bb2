#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace pw::test {

// The page-by-page reference implementation of the cross-linking: for every page, every other
// page's link-tag line is read again from its file and compared; a page without tag line draws a
// new not-found value at every read; a page with partners is rewritten at its turn, so later pages
// see its new content. Not-found values are drawn from a counter so that two of them never meet.
//
// Without its mends, a link line took the partner's text line as it was, so a text line
// holding a marker put that marker into the block: a start marker opened one more block at
// every later run, an end marker closed the block early and was kept, a tag's start marker
// moved that tag's line. And the line holding the block's start marker was replaced whole,
// taking with it the start or end marker of the link or text region written before it on that
// line. Mended, the transcription writes a link line without those markers (taken out of the
// text, their "<" written "&lt;" in the address) and keeps the text before the block's start
// marker as a line of its own when it holds a marker of those regions; Unmended keeps
// the rules without those mends, to show that the random pages meet both cases.
class ReferenceHyperlinks {
  public:
    enum class Mode { Mended, Unmended };

    // Links the pages of `directory` (ending with "/") by the tag named `linkTag`, with the
    // text of the tag named `textTag` and `tag99` before every address.
    ReferenceHyperlinks(std::string directory, const std::string& linkTag,
                        const std::string& textTag, std::string tag99, Mode mode = Mode::Mended);

    // Links every page of the directory, in name order, as the tags ask.
    void run();

  private:
    std::string notFound();
    std::string P_recherche_tag_bd(const std::string& name, const std::string& marker);
    void p_ajoute_lien(const std::string& name);
    std::string linkLine(const std::string& target, const std::string& text);

    std::string m_dir;
    std::string m_linkMarker;
    std::string m_textMarker;
    std::string m_linkCloser;
    std::string m_textCloser;
    std::string m_tag99;
    Mode m_mode;
    std::vector<std::string> m_pages;
    std::vector<std::pair<std::string, std::string>> m_liste;
    uint64_t m_draws = 0;
};

}  // namespace pw::test
