#include "index/index_pages_run.h"

#include <unistd.h>

#include <cerrno>
#include <charconv>

#include "engine/disk.h"
#include "engine/markers.h"
#include "engine/progress_text.h"
#include "index/htm_listing.h"
#include "index/index_pages.h"
#include "index/index_scan.h"
#include "index/progress_pace.h"

namespace pw {

namespace {

// Pages are small: one read usually takes a whole page, the next finds its end.
constexpr size_t kFirstBufferSize = 64 * 1024;

// Reads the page `name` whole into `buffer`, whose capacity is kept from page to page, and
// returns its bytes; nothing when it cannot be read.
std::optional<std::string_view> readPage(const Directory& source, const std::string& name,
                                         std::string& buffer) {
    FileHandle file = source.openForReading(name);
    if (!file.valid()) {
        return std::nullopt;
    }
    if (buffer.size() < kFirstBufferSize) {
        buffer.resize(kFirstBufferSize);
    }
    size_t got = 0;
    for (;;) {
        if (got == buffer.size()) {
            buffer.resize(buffer.size() * 2);
        }
        ssize_t n = ::read(file.fd(), buffer.data() + got, buffer.size() - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return std::nullopt;
        }
        if (n == 0) {
            return std::string_view(buffer.data(), got);
        }
        got += static_cast<size_t>(n);
    }
}

// Writes one index page per group; a criterion that cannot be part of a file name writes
// nothing, and its entries are placed nowhere else.
void writeIndexPages(RunContext& context, const std::vector<IndexEntry>& entries) {
    Directory destination(context.settings.i20);
    for (const IndexGroup& group : groupByCriterion(entries)) {
        std::optional<std::string> name = indexPageName(group.criterion);
        if (!name) {
            context.report.failed(destination.pathOf("index_" + group.criterion + ".htm"),
                                  "the criterion cannot be part of a file name");
            continue;
        }
        bool unchanged = false;
        Status status = replaceFile(destination, *name, indexPageText(group, entries), unchanged);
        if (!status.ok()) {
            context.report.failed(destination.pathOf(*name), status.reason());
        } else if (unchanged) {
            context.report.unchanged();
        } else {
            context.report.written();
        }
    }
}

}  // namespace

RunOutcome runIndexPages(RunContext& context) {
    const RunSettings& settings = context.settings;
    ProgressDisplay& display = context.display();
    context.announce(RunKind::IndexPages);

    Directory source(settings.i10);
    const std::vector<std::string> names = listHtmPages(source);
    const uint64_t total = names.empty() ? 1 : names.size();
    display.setRecordText(recordText(1, total));
    display.setTotalBar(wholePercent(1, total));

    const std::string criterionMarker = startMarkerOf(settings.tagindex2);
    const std::string textMarker = startMarkerOf(settings.Tagindex);
    std::vector<IndexEntry> entries;
    std::string buffer;
    ProgressPace pace(total);
    double t0 = clockSeconds();
    char digits[24];
    for (uint64_t k = 1; k <= names.size(); ++k) {
        const std::string& name = names[k - 1];
        std::optional<std::string_view> page;
        if (!isIndexPageName(name)) {
            page = readPage(source, name, buffer);
            if (page) {
                std::optional<PageCapture> capture =
                    scanIndexPage(*page, criterionMarker, textMarker);
                if (capture) {
                    entries.push_back(IndexEntry{std::move(capture->criterion),
                                                 std::move(capture->linkText), name});
                }
            }
        }
        // The display follows the pages, and a stop is taken, from the second page on.
        double t1 = clockSeconds();
        if (k >= 2 && pace.due(k, t1)) {
            // The page is read whole before it is scanned, so its line counter and bar show
            // it finished.
            if (uint64_t lines = page ? countLines(*page) : 0; lines > 0) {
                auto end = std::to_chars(digits, digits + sizeof digits, lines).ptr;
                display.setLineText(std::string_view(digits, static_cast<size_t>(end - digits)));
                display.setLineBar(100);
            }
            display.setRecordText(recordText(k, total));
            display.setTotalBar(wholePercent(k, total));
            display.setTimeText(timeText(settings.language, t1 - t0, total - k));
        }
        t0 = t1;
        if (k >= 2) {
            display.pumpEvents();
            if (context.stopRequested()) {
                return RunOutcome::Stopped;
            }
        }
    }

    writeIndexPages(context, entries);

    context.host.setBusyPointer(false);
    display.setRecordText("");
    display.setLineText("");
    display.setLineBar(0);
    display.setTotalBar(0);
    display.ringBell();
    return RunOutcome::Completed;
}

}  // namespace pw
