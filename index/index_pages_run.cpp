#include "index/index_pages_run.h"

#include <sys/stat.h>

#include <charconv>

#include "engine/disk.h"
#include "engine/line_reader.h"
#include "engine/markers.h"
#include "engine/progress_text.h"
#include "index/htm_listing.h"
#include "index/index_pages.h"
#include "index/index_scan.h"

namespace pw {

namespace {

// Pages are small; a modest buffer keeps a run over many pages light.
constexpr size_t kPageBuffer = 16 * 1024;

// Feeds the page `name` to `scanner` line by line. With a display, shows the line number and
// the share of the page's bytes read so far. A page that cannot be read gives no capture.
std::optional<PageCapture> scanPageFile(const Directory& source, const std::string& name,
                                        IndexPageScanner& scanner, ProgressDisplay* display) {
    scanner.reset();
    FileHandle file = source.openForReading(name);
    if (!file.valid()) {
        return std::nullopt;
    }
    uint64_t size = 0;
    struct stat info;
    if (::fstat(file.fd(), &info) == 0) {
        size = static_cast<uint64_t>(info.st_size);
    }
    LineReader reader = LineReader::fromFd(file.fd(), kPageBuffer);
    std::string_view line;
    uint64_t number = 0;
    uint64_t consumed = 0;
    char digits[24];
    while (reader.next(line)) {
        scanner.feed(line);
        if (display != nullptr) {
            ++number;
            // One byte stands for the line end, whether it was CR, LF or CR LF.
            consumed += line.size() + 1;
            auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
            display->setLineText(std::string_view(digits, static_cast<size_t>(end - digits)));
            display->setLineBar(wholePercent(consumed < size ? consumed : size, size));
        }
    }
    if (display != nullptr && number > 0) {
        display->setLineBar(100);
    }
    if (reader.failed()) {
        return std::nullopt;
    }
    return scanner.capture();
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

    IndexPageScanner scanner(startMarkerOf(settings.tagindex2), startMarkerOf(settings.Tagindex));
    std::vector<IndexEntry> entries;
    for (uint64_t k = 1; k <= names.size(); ++k) {
        const std::string& name = names[k - 1];
        // The display follows the pages, and a stop is taken, from the second page on.
        const bool shown = k >= 2;
        double t0 = clockSeconds();
        if (!isIndexPageName(name)) {
            std::optional<PageCapture> capture =
                scanPageFile(source, name, scanner, shown ? &display : nullptr);
            if (capture) {
                entries.push_back(
                    IndexEntry{std::move(capture->criterion), std::move(capture->linkText), name});
            }
        }
        if (!shown) {
            continue;
        }
        double dt = clockSeconds() - t0;
        display.setRecordText(recordText(k, total));
        display.setTotalBar(wholePercent(k, total));
        display.setTimeText(timeText(settings.language, dt, total - k));
        display.pumpEvents();
        if (context.stopRequested()) {
            return RunOutcome::Stopped;
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
