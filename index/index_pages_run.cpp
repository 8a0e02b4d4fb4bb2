#include "index/index_pages_run.h"

#include <algorithm>
#include <cstring>

#include "engine/markers.h"
#include "engine/progress_pace.h"
#include "engine/progress_text.h"
#include "fs/line_reader.h"
#include "fs/work_file.h"
#include "index/index_pages.h"
#include "index/index_scan.h"

namespace pw {

namespace {

// Pages up to this size are read whole and searched for their markers in one go; a larger
// page is read line by line as it streams, so memory stays bounded by its longest line.
constexpr size_t kWholePageSize = 256 * 1024;

// What the scan of one page found.
struct PageScan {
    bool read = false;  // false when the page could not be read
    Status status;      // why not
    std::optional<PageCapture> capture;
    std::string_view bytes;  // a page read whole, valid until the next scan
    uint64_t streamedLines = 0;

    uint64_t lines() const { return bytes.empty() ? streamedLines : countLines(bytes); }
};

class PageScanner {
  public:
    PageScanner(std::string criterionMarker, std::string textMarker)
        : m_criterionMarker(std::move(criterionMarker)),
          m_textMarker(std::move(textMarker)),
          m_lines(m_criterionMarker, m_textMarker) {}

    PageScan scan(const Directory& source, const std::string& name) {
        PageScan result;
        FileHandle file;
        if (result.status = source.openForReading(name, file); !result.status.ok()) {
            return result;
        }
        if (m_buffer.empty()) {
            m_buffer.resize(kWholePageSize);
        }
        Env& env = source.env();
        size_t got = 0;
        while (got < m_buffer.size()) {
            size_t n = 0;
            result.status = env.read(file.fd(), m_buffer.data() + got, m_buffer.size() - got, n);
            if (!result.status.ok()) {
                return result;
            }
            if (n == 0) {
                result.read = true;
                result.bytes = std::string_view(m_buffer.data(), got);
                result.capture = scanIndexPage(result.bytes, m_criterionMarker, m_textMarker);
                return result;
            }
            got += n;
        }
        return streamRest(env, file.fd(), got);
    }

  private:
    // Scans a page whose first `got` bytes fill the buffer, reading the rest from `fd`.
    PageScan streamRest(Env& env, int fd, size_t got) {
        PageScan result;
        size_t served = 0;
        LineReader reader([&](char* to, size_t capacity) -> long {
            if (served < got) {
                size_t n = std::min(capacity, got - served);
                std::memcpy(to, m_buffer.data() + served, n);
                served += n;
                return static_cast<long>(n);
            }
            size_t n = 0;
            return env.read(fd, to, capacity, n).ok() ? static_cast<long>(n) : -1;
        });
        m_lines.reset();
        std::string_view line;
        while (reader.next(line)) {
            m_lines.feed(line);
            ++result.streamedLines;
        }
        if (reader.failed()) {
            result.status = Status::ioError("read error");
        } else {
            result.read = true;
            result.capture = m_lines.capture();
        }
        return result;
    }

    std::string m_criterionMarker;
    std::string m_textMarker;
    IndexPageScanner m_lines;
    std::string m_buffer;
};

// Writes one index page per group; a criterion that cannot be part of a file name writes
// nothing, and its entries are placed nowhere else.
void writeIndexPages(RunContext& context, const std::vector<IndexEntry>& entries) {
    Directory destination(context.env, context.settings.i20);
    for (const IndexGroup& group : groupByCriterion(entries)) {
        std::optional<std::string> name = indexPageName(group.criterion);
        if (!name) {
            context.report.failed(destination.pathOf("index_" + group.criterion + ".htm"),
                                  "the criterion cannot be part of a file name");
            continue;
        }
        Delivery delivery;
        Status status = replaceFile(destination, *name, indexPageText(group, entries),
                                    Durability::kAtomic, delivery);
        context.report.record(destination.pathOf(*name), status, delivery);
    }
}

}  // namespace

RunOutcome runIndexPages(RunContext& context) {
    const RunSettings& settings = context.settings;
    ProgressDisplay& display = context.display();
    context.announce(RunKind::IndexPages);

    Directory source(context.env, settings.i10);
    // Links count when they lead to a plain file; hidden files are left out.
    const std::vector<std::string> names = source.listFiles(isListedPageName, true);
    const uint64_t total = names.empty() ? 1 : names.size();
    display.setRecordText(recordText(1, total));
    display.setTotalBar(wholePercent(1, total));

    PageScanner scanner(startMarkerOf(settings.tagindex2), startMarkerOf(settings.Tagindex));
    std::vector<IndexEntry> entries;
    ProgressPace pace(total);
    double t0 = clockSeconds();
    for (uint64_t k = 1; k <= names.size(); ++k) {
        const std::string& name = names[k - 1];
        PageScan page;
        if (!isIndexPageName(name)) {
            page = scanner.scan(source, name);
            if (!page.read) {
                context.report.failed(source.pathOf(name),
                                      "cannot read the page (" + page.status.reason() + ")");
            }
            if (page.capture) {
                entries.push_back(IndexEntry{std::move(page.capture->criterion),
                                             std::move(page.capture->linkText), name});
            }
        }
        // The display follows the pages, and a stop is taken, from the second page on.
        double t1 = clockSeconds();
        if (k >= 2 && pace.due(k, t1)) {
            // The page is read whole before it is scanned, so its line counter and bar show
            // it finished.
            if (uint64_t lines = page.read ? page.lines() : 0; lines > 0) {
                display.setLineText(CountText(lines).view());
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
