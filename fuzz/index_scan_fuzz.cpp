// The index run's reading of one page: the capture must not depend on how the page's lines are
// fed, a criterion line never holds a line end, and a page name made from it never leaves its
// directory.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fs/work_file.h"
#include "index/index_pages.h"
#include "index/index_scan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    // The first byte picks the two tags; the same tag for both is a case of its own.
    const std::string criterionMarker = "<!--tag" + std::to_string(data[0] % 4) + "-->";
    const std::string textMarker = "<!--tag" + std::to_string((data[0] >> 2) % 4) + "-->";
    std::string_view page(reinterpret_cast<const char*>(data) + 1, size - 1);

    std::optional<pw::PageCapture> whole = pw::scanIndexPage(page, criterionMarker, textMarker);

    // The same page split into lines by hand, as the reference implementation reads it.
    pw::IndexPageScanner scanner(criterionMarker, textMarker);
    size_t start = 0;
    for (size_t i = 0; i < page.size(); ++i) {
        if (page[i] == '\r' || page[i] == '\n') {
            scanner.feed(page.substr(start, i - start));
            if (page[i] == '\r' && i + 1 < page.size() && page[i + 1] == '\n') {
                ++i;
            }
            start = i + 1;
        }
    }
    if (start < page.size()) {
        scanner.feed(page.substr(start));
    }
    std::optional<pw::PageCapture> byLines = scanner.capture();

    if (whole.has_value() != byLines.has_value()) {
        std::abort();
    }
    if (!whole) {
        return 0;
    }
    if (whole->criterion != byLines->criterion || whole->linkText != byLines->linkText) {
        std::abort();
    }
    for (std::string_view text :
         {std::string_view(whole->criterion), std::string_view(whole->linkText)}) {
        if (text.find('\r') != std::string_view::npos ||
            text.find('\n') != std::string_view::npos) {
            std::abort();
        }
    }
    if (page.find(criterionMarker) == std::string_view::npos) {
        std::abort();
    }
    if (std::optional<std::string> name = pw::indexPageName(whole->criterion)) {
        if (!pw::isPlainFileName(*name)) {
            std::abort();
        }
    }
    std::vector<pw::IndexEntry> entries = {{whole->criterion, whole->linkText, "page.htm"},
                                           {whole->criterion, "", "other.htm"}};
    std::vector<pw::IndexGroup> groups = pw::groupByCriterion(entries);
    if (whole->criterion == pw::kConsumedCriterion
            ? !groups.empty()
            : groups.size() != 1 || groups[0].entries.size() != 2) {
        std::abort();
    }
    for (const pw::IndexGroup& group : groups) {
        std::string text = pw::indexPageText(group, entries);
        if (text.compare(text.size() - 9, 9, "</html>\r\n") != 0) {
            std::abort();
        }
    }
    return 0;
}
