#include "reference_links_run.h"

#include <cctype>
#include <filesystem>

#include "engine/markers.h"
#include "links_test_support.h"
#include "tests/support/name_order.h"

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

bool holds(const std::string& line, std::string_view text) {
    return line.find(text) != std::string::npos;
}

}  // namespace

ReferenceHyperlinks::ReferenceHyperlinks(std::string directory, const std::string& linkTag,
                                         const std::string& textTag, std::string tag99, Mode mode)
    : m_dir(std::move(directory)),
      m_linkMarker(startMarkerOf(linkTag)),
      m_textMarker(startMarkerOf(textTag)),
      m_linkCloser("<!--/tag" + std::string(tagText(linkTag)) + "-->"),
      m_textCloser("<!--/tag" + std::string(tagText(textTag)) + "-->"),
      m_tag99(std::move(tag99)),
      m_mode(mode) {}

void ReferenceHyperlinks::run() {
    for (const std::string& name : listing(m_dir)) {
        std::filesystem::path path = std::filesystem::path(m_dir) / name;
        std::string lower = name;
        for (char& c : lower) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        if (name[0] != '.' && lower.size() >= 3 && lower.substr(lower.size() - 3) == "htm" &&
            std::filesystem::symlink_status(path).type() == std::filesystem::file_type::regular) {
            m_pages.push_back(name);
        }
    }
    // The directory lists its pages by name, a-z read as A-Z.
    sortInNameOrder(m_pages);
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

std::string ReferenceHyperlinks::notFound() {
    return "Nom" + std::to_string(m_draws++ % 1000000);
}

std::string ReferenceHyperlinks::P_recherche_tag_bd(const std::string& name,
                                                    const std::string& marker) {
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
void ReferenceHyperlinks::p_ajoute_lien(const std::string& name) {
    const std::string start = "<!--tag99-->";
    const std::string end = "<!--/tag99-->";
    std::vector<std::string> lines = linesOf(readFile(m_dir + name));
    std::string out;
    bool inBlock = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        bool wasInBlock = inBlock;
        if (holds(line, end)) {
            inBlock = false;
        }
        if (holds(line, start)) {
            std::string before = line.substr(0, line.find(start));
            if (m_mode == Mode::Mended && (!wasInBlock || holds(before, end)) &&
                (holds(before, m_linkMarker) || holds(before, m_textMarker) ||
                 holds(before, m_linkCloser) || holds(before, m_textCloser))) {
                out += before + "\r\n";
            }
            inBlock = true;
            out += start + "\r\n";
            for (const auto& [target, text] : m_liste) {
                out += linkLine(target, text);
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

std::string ReferenceHyperlinks::linkLine(const std::string& target, const std::string& text) {
    if (m_mode == Mode::Unmended) {
        return "<a href =\"" + trimmed(m_tag99) + target + "\">" + text + "</a><br>\r\n";
    }
    const std::vector<std::string> markers = {"<!--tag99-->", "<!--/tag99-->", m_linkMarker,
                                              m_textMarker};
    std::string clean = text;
    bool found = true;
    while (found) {
        found = false;
        for (const std::string& marker : markers) {
            size_t at = clean.find(marker);
            if (at != std::string::npos) {
                clean.erase(at, marker.size());
                found = true;
            }
        }
    }
    std::string line = "<a href =\"" + trimmed(m_tag99) + target + "\">" + clean + "</a><br>";
    found = true;
    while (found) {
        found = false;
        for (const std::string& marker : markers) {
            size_t at = line.find(marker);
            if (at != std::string::npos) {
                line.replace(at, 1, "&lt;");
                found = true;
            }
        }
    }
    return line + "\r\n";
}

}  // namespace pw::test
