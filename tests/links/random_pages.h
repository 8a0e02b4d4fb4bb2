#pragma once

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "engine/markers.h"
#include "links_test_support.h"

namespace pw::test {

// Random directories of pages with markers on random lines, missing or repeated markers, empty
// files, shared values with blanks and letter case, names the run must or must not take, and
// tag regions opened and closed on one line next to or on the link block's start line.
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
        static const std::vector<std::string> kPrefixes = {
            "", "", "  ", " http://site/ ", "<b>\"", "../", "<!--tag99-->", "x<!--/tag99"};
        return Choice{pick(kLinkTags), pick(kTextTags), pick(kPrefixes)};
    }

    // Fills every directory with the same files, created in the same order.
    void fill(const Choice& choice, const std::vector<std::string>& directories) {
        static const std::vector<std::string> kNames = {
            "a.htm",   "b.htm",       "c.HTM",     "d.Htm",  "e.html",
            "f.txt",   "tmp_a.htm",   "tmp_b.htm", "g.htm",  "lyon.htm",
            "x y.htm", ".hidden.htm", "htm",       "i.xhtm", "j.htm",
            "k.htm",   "l.htm",       "m.htm",     "n.htm",  "<!--tag99-->.htm"};
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

    static std::string closerOf(const std::string& choice) {
        return std::string(kCloserPrefix) + std::string(tagText(choice)) +
               std::string(kMarkerSuffix);
    }

    // The lines of a page as the pages run writes them, the text region laid out in one of
    // several ways around the link block's start line.
    std::vector<std::string> generatedLines(const Choice& choice, const std::string& value,
                                            const std::string& text) {
        const std::string link = startMarkerOf(choice.linkTag);
        const std::string open = startMarkerOf(choice.textTag);
        const std::string close = closerOf(choice.textTag);
        std::vector<std::string> lines = {"<html>", link, value, closerOf(choice.linkTag)};
        switch (m_random() % 6) {
            case 0:  // one-line region right before the block
                lines.insert(lines.end(), {open + text + close, "<!--tag99-->"});
                break;
            case 1:  // one-line region on the block's start line
                lines.push_back(open + text + close + "<!--tag99-->");
                break;
            case 2:  // region closed on the block's start line
                lines.insert(lines.end(), {open, close + "<!--tag99-->"});
                break;
            case 3:  // the block's start line inside the region
                lines.insert(lines.end(), {open, "<!--tag99-->" + text + close});
                break;
            default:
                lines.insert(lines.end(), {open, text, close, "<!--tag99-->"});
                break;
        }
        lines.insert(lines.end(), {"<a href =\"old.htm\">old</a><br>", "<!--/tag99-->", "</html>"});
        return lines;
    }

    std::string page(const Choice& choice) {
        if (m_random() % 10 == 0) {
            return {};
        }
        const std::string link = startMarkerOf(choice.linkTag);
        const std::string text = startMarkerOf(choice.textTag);
        static const std::vector<std::string> kValues = {"Lyon", " Lyon", "Lyon  ", "lyon", "Paris",
                                                         "",     "   ",   "\tLyon", "Nice", "Nice"};
        static const std::vector<std::string> kTexts = {"Lyon",
                                                        "  Ville de Lyon",
                                                        "",
                                                        "caf\xC3\xA9",
                                                        "\xE9t\xE9",
                                                        "Lyon",
                                                        "<!--tag99-->x",
                                                        "<!--tag<!--/tag99-->99-->",
                                                        "y<!--/tag99-->",
                                                        "<!--tag2-->",
                                                        "<!--tag3--> 3"};
        std::vector<std::string> lines;
        if (m_random() % 2 == 0) {
            lines = generatedLines(choice, pick(kValues), pick(kTexts));
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
                                                   text + pick(kTexts) + "<!--tag99-->",
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

}  // namespace pw::test
