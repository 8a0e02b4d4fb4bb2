// The linear run against a plain transcription of the cross-linking as first designed, which
// reads every other page again for every page, over thousands of small random directories.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "engine/line_reader.h"
#include "engine/markers.h"
#include "links_test_support.h"

namespace pw::test {
namespace {

std::string trimmed(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && text[begin] == ' ') {
        ++begin;
    }
    while (end > begin && text[end - 1] == ' ') {
        --end;
    }
    return text.substr(begin, end - begin);
}

std::vector<std::string> linesOf(const std::string& bytes) {
    std::vector<std::string> lines;
    LineReader reader = LineReader::fromMemory(bytes);
    std::string_view line;
    while (reader.next(line)) {
        lines.emplace_back(line);
    }
    return lines;
}

bool holds(const std::string& line, std::string_view text) {
    return line.find(text) != std::string::npos;
}

// The cross-linking as first designed: for every page, every other page's link-tag line is
// read again from its file and compared; a page without tag line draws a new not-found value
// at every read; a page with partners is rewritten at its turn, so later pages see its new
// content. Not-found values are drawn from a counter so that two of them never meet.
class OriginalHyperlinks {
  public:
    OriginalHyperlinks(std::string directory, const std::string& linkTag,
                       const std::string& textTag, std::string tag99)
        : m_dir(std::move(directory)),
          m_linkMarker(startMarkerOf(linkTag)),
          m_textMarker(startMarkerOf(textTag)),
          m_tag99(std::move(tag99)) {}

    void run() {
        for (const std::string& name : listing(m_dir)) {
            std::filesystem::path path = std::filesystem::path(m_dir) / name;
            std::string lower = name;
            for (char& c : lower) {
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            }
            if (name[0] != '.' && lower.size() >= 3 && lower.substr(lower.size() - 3) == "htm" &&
                std::filesystem::symlink_status(path).type() ==
                    std::filesystem::file_type::regular) {
                m_pages.push_back(name);
            }
        }
        const size_t n = m_pages.size();
        for (size_t a = 0; a < n; ++a) {
            std::string value = P_recherche_tag_bd(m_pages[a], m_linkMarker);
            m_liste.clear();
            for (size_t b = 0; b < n; ++b) {
                if (b == a) {
                    continue;
                }
                std::string other = P_recherche_tag_bd(m_pages[b], m_linkMarker);
                if (trimmed(value) == trimmed(other)) {
                    m_liste.emplace_back(m_pages[b], P_recherche_tag_bd(m_pages[b], m_textMarker));
                }
            }
            if (!m_liste.empty()) {
                p_ajoute_lien(m_pages[a]);
            }
        }
    }

  private:
    std::string notFound() { return "Nom" + std::to_string(m_draws++ % 1000000); }

    std::string P_recherche_tag_bd(const std::string& name, const std::string& marker) {
        std::string result;
        bool found = false;
        for (const std::string& line : linesOf(readFile(m_dir + name))) {
            if (holds(line, marker)) {
                found = true;
            }
            if (found && !holds(line, marker)) {
                return line;
            }
            result = notFound();
        }
        return result;
    }

    // Regenerates the link block; a block that is never closed, or closed on its own line,
    // is closed right after its links so that no later line is lost.
    void p_ajoute_lien(const std::string& name) {
        const std::string start = "<!--tag99-->";
        const std::string end = "<!--/tag99-->";
        std::vector<std::string> lines = linesOf(readFile(m_dir + name));
        std::string out;
        bool inBlock = false;
        for (size_t i = 0; i < lines.size(); ++i) {
            const std::string& line = lines[i];
            if (holds(line, end)) {
                inBlock = false;
            }
            if (holds(line, start)) {
                inBlock = true;
                out += start + "\r\n";
                for (const auto& [target, text] : m_liste) {
                    out +=
                        "<a href =\"" + trimmed(m_tag99) + target + "\">" + text + "</a><br>\r\n";
                }
                bool closed = line.find(end, line.find(start) + start.size()) != std::string::npos;
                bool closedLater = false;
                for (size_t k = i + 1; k < lines.size(); ++k) {
                    closedLater = closedLater || holds(lines[k], end);
                }
                if (closed || !closedLater) {
                    out += end + "\r\n";
                    inBlock = false;
                }
            } else if (!inBlock) {
                out += line + "\r\n";
            }
        }
        writeFile(m_dir + name, out);
    }

    std::string m_dir;
    std::string m_linkMarker;
    std::string m_textMarker;
    std::string m_tag99;
    std::vector<std::string> m_pages;
    std::vector<std::pair<std::string, std::string>> m_liste;
    uint64_t m_draws = 0;
};

// Random directories of pages with markers on random lines, missing or repeated markers, empty
// files, shared values with blanks and letter case, and names the run must or must not take.
class DirectoryMaker {
  public:
    explicit DirectoryMaker(uint32_t seed) : m_random(seed) {}

    struct Choice {
        std::string linkTag;
        std::string textTag;
        std::string tag99;
    };

    Choice choose() {
        static const std::vector<std::string> kLinkTags = {"Tag N°2",  "Tag N°2",  "Tag N°2", "2",
                                                           "Tag N°99", "Tag N°12", "Tag N°3"};
        static const std::vector<std::string> kTextTags = {"Tag N°3", "Tag N°3", "3", "Tag N°2",
                                                           "Tag N°99"};
        static const std::vector<std::string> kPrefixes = {"",      "",   "  ", " http://site/ ",
                                                           "<b>\"", "../"};
        return Choice{pick(kLinkTags), pick(kTextTags), pick(kPrefixes)};
    }

    // Fills both directories with the same files, created in the same order.
    void fill(const Choice& choice, const std::vector<std::string>& directories) {
        static const std::vector<std::string> kNames = {
            "a.htm",     "b.htm",     "c.HTM", "d.Htm",    "e.html",  "f.txt",
            "tmp_a.htm", "tmp_b.htm", "g.htm", "lyon.htm", "x y.htm", ".hidden.htm",
            "htm",       "i.xhtm",    "j.htm", "k.htm",    "l.htm",   "m.htm"};
        std::vector<std::string> names = kNames;
        std::shuffle(names.begin(), names.end(), m_random);
        names.resize(1 + m_random() % 10);
        bool subdirectory = m_random() % 8 == 0;
        for (const std::string& name : names) {
            std::string bytes = page(choice);
            for (const std::string& directory : directories) {
                writeFile(directory + name, bytes);
            }
        }
        if (subdirectory) {
            for (const std::string& directory : directories) {
                std::filesystem::create_directory(directory + "sub.htm");
            }
        }
    }

  private:
    const std::string& pick(const std::vector<std::string>& items) {
        return items[m_random() % items.size()];
    }

    std::string page(const Choice& choice) {
        if (m_random() % 10 == 0) {
            return {};
        }
        const std::string link = startMarkerOf(choice.linkTag);
        const std::string text = startMarkerOf(choice.textTag);
        static const std::vector<std::string> kValues = {"Lyon", " Lyon", "Lyon  ", "lyon", "Paris",
                                                         "",     "   ",   "\tLyon", "Nice", "Nice"};
        static const std::vector<std::string> kTexts = {"Lyon", "  Ville de Lyon", "",
                                                        "caf\xC3\xA9", "\xE9t\xE9"};
        std::vector<std::string> lines;
        if (m_random() % 2 == 0) {
            // A page as the pages run writes them, then disturbed.
            lines = {"<html>",        link,           pick(kValues),
                     "<!--/tag2-->",  text,           pick(kTexts),
                     "<!--/tag3-->",  "<!--tag99-->", "<a href =\"old.htm\">old</a><br>",
                     "<!--/tag99-->", "</html>"};
            for (int k = m_random() % 4; k > 0 && !lines.empty(); --k) {
                lines.erase(lines.begin() + m_random() % lines.size());
            }
            if (m_random() % 3 == 0 && lines.size() > 1) {
                std::swap(lines[m_random() % lines.size()], lines[m_random() % lines.size()]);
            }
        } else {
            const std::vector<std::string> pool = {link,
                                                   text,
                                                   link,
                                                   pick(kValues),
                                                   pick(kValues),
                                                   pick(kTexts),
                                                   "<!--tag99-->",
                                                   "<!--/tag99-->",
                                                   "<p>" + link + "</p>",
                                                   link + text,
                                                   "<!--tag99--><a>x</a><!--/tag99-->",
                                                   "<!--/tag99--> x <!--tag99-->",
                                                   "<!--tag99--> <!--tag99-->",
                                                   "<body>",
                                                   "<!--/tag2-->"};
            for (int k = m_random() % 9; k > 0; --k) {
                lines.push_back(pick(pool));
            }
        }
        static const std::vector<std::string> kEnds = {"\r\n", "\n", "\r"};
        bool mixed = m_random() % 5 == 0;
        const std::string& end = pick(kEnds);
        std::string bytes;
        for (size_t i = 0; i < lines.size(); ++i) {
            bytes += lines[i];
            if (i + 1 < lines.size() || m_random() % 10 < 7) {
                bytes += mixed ? pick(kEnds) : end;
            }
        }
        return bytes;
    }

    std::mt19937 m_random;
};

TEST(HyperlinksDifferential, SameFilesAsComparingEveryPageWithEveryPage) {
    const uint32_t seed = 20261207;
    DirectoryMaker maker(seed);
    int linkedDirectories = 0;
    const int rounds = 2000;
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE("seed " + std::to_string(seed) + ", directory " + std::to_string(round));
        TempDir original;
        TempDir linear;
        DirectoryMaker::Choice choice = maker.choose();
        maker.fill(choice, {original.path(), linear.path()});
        ASSERT_EQ(listing(original.path()), listing(linear.path()));
        auto before = snapshot(linear.path());

        OriginalHyperlinks(original.path(), choice.linkTag, choice.textTag, choice.tag99).run();
        LinksRun run(linear.path(), choice.linkTag, choice.textTag, choice.tag99);
        ASSERT_EQ(run.run(), RunOutcome::Completed);
        EXPECT_EQ(run.report.failedCount(), 0u);

        auto expected = snapshot(original.path());
        auto actual = snapshot(linear.path());
        ASSERT_EQ(expected.size(), actual.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            ASSERT_EQ(expected[i].first, actual[i].first);
            ASSERT_EQ(maskNotFound(expected[i].second), maskNotFound(actual[i].second))
                << "file " << actual[i].first << ", link tag " << choice.linkTag << ", text tag "
                << choice.textTag;
        }
        linkedDirectories += before != actual ? 1 : 0;
    }
    // The directories must exercise the linking, not only pages without partner.
    EXPECT_GT(linkedDirectories, rounds / 3);
}

}  // namespace
}  // namespace pw::test
