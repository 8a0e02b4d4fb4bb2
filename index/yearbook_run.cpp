#include "index/yearbook_run.h"

#include <unistd.h>

#include <charconv>

#include "engine/data_file.h"
#include "engine/disk.h"
#include "engine/line_reader.h"
#include "engine/progress_text.h"
#include "index/progress_pace.h"
#include "index/yearbook_rules.h"

namespace pw {

namespace {

// The settled part of the page is written out once it reaches this size.
constexpr size_t kFlushSize = 1u << 20;

// Writes the new page to a work file while comparing it with the page already there, so an
// identical page is left untouched and a different one replaces it in one rename.
class PageWriter {
  public:
    PageWriter(const Directory& directory, std::string name)
        : m_directory(directory), m_name(std::move(name)), m_work(directory) {
        m_previous = directory.entry(m_name);
        if (m_previous.exists && m_previous.regular) {
            m_old = directory.openForReading(m_name);
        }
        m_same = m_old.valid();
    }

    void write(std::string_view bytes) {
        if (bytes.empty()) {
            return;
        }
        if (m_same) {
            m_same = matchesOld(bytes);
        }
        if (!m_status.ok()) {
            return;
        }
        if (!m_work.isOpen()) {
            m_status = m_work.open();
        }
        if (m_status.ok()) {
            m_status = m_work.write(bytes);
        }
    }

    // Delivers the page; reports what became of it.
    void deliver(RunReport& report) {
        if (m_same) {
            char extra;
            m_same = ::read(m_old.fd(), &extra, 1) == 0;
        }
        if (m_same) {
            m_work.discard();
            report.unchanged();
            return;
        }
        if (m_status.ok() && m_previous.exists && !m_previous.writable) {
            m_status = Status::error("read-only file");
        }
        if (m_status.ok() && !m_work.isOpen()) {
            m_status = m_work.open();
        }
        if (m_status.ok()) {
            m_status = m_work.deliver(m_name, m_previous);
        }
        if (m_status.ok()) {
            report.written();
        } else {
            m_work.discard();
            report.failed(m_directory.pathOf(m_name), m_status.reason());
        }
    }

  private:
    bool matchesOld(std::string_view bytes) {
        m_buffer.resize(bytes.size());
        size_t got = 0;
        while (got < bytes.size()) {
            ssize_t n = ::read(m_old.fd(), m_buffer.data() + got, bytes.size() - got);
            if (n <= 0) {
                return false;
            }
            got += static_cast<size_t>(n);
        }
        return m_buffer == bytes;
    }

    const Directory& m_directory;
    std::string m_name;
    WorkFile m_work;
    Entry m_previous;
    FileHandle m_old;
    bool m_same = false;
    Status m_status;
    std::string m_buffer;
};

void copyBackground(RunContext& context, const Directory& destination) {
    std::string from = context.settings.installDir + "Bin/" + std::string(kBackgroundName);
    if (!openForReading(from).valid()) {
        return;  // an installation without the picture: the page goes without it
    }
    bool unchanged = false;
    Status status = copyFileInto(from, destination, std::string(kBackgroundName), unchanged);
    if (!status.ok()) {
        context.report.failed(destination.pathOf(kBackgroundName), status.reason());
    } else if (unchanged) {
        context.report.unchanged();
    } else {
        context.report.written();
    }
}

}  // namespace

RunOutcome runYearbook(RunContext& context) {
    const RunSettings& settings = context.settings;
    ProgressDisplay& display = context.display();
    context.announce(RunKind::Yearbook);

    const uint64_t n = countRecords(settings.i30);
    Directory destination(settings.i40);
    const std::string pageName(kYearbookPageName);

    std::string model;
    FileHandle modelFile = openForReading(settings.i50);
    Status modelStatus =
        modelFile.valid() ? readAll(modelFile.fd(), model) : Status::error("cannot read the model");
    if (!modelStatus.ok()) {
        context.report.failed(destination.pathOf(pageName), modelStatus.reason());
        return RunOutcome::Completed;
    }
    copyBackground(context, destination);

    YearbookBuilder builder(model);
    PageWriter writer(destination, pageName);
    auto deliver = [&] {
        std::string page;
        builder.finish(page);
        writer.write(page);
        writer.deliver(context.report);
    };

    FileHandle data = openForReading(settings.i30);
    LineReader records = LineReader::fromFd(data.valid() ? data.fd() : -1);
    records.skipByteOrderMark();
    ProgressPace pace(n);
    std::string_view line;
    uint64_t i = 1;
    uint64_t before = builder.pageLines();  // the page's lines before the current pass
    double t0 = 0;
    bool shown = false;
    // The line counter and bars of record `i`, shown once its pass is made.
    auto showPass = [&](uint64_t lines, double dt) {
        char digits[24];
        auto end = std::to_chars(digits, digits + sizeof digits, lines).ptr;
        display.setLineText(std::string_view(digits, static_cast<size_t>(end - digits)));
        // The page's expected length, extrapolated from the growth of this pass.
        uint64_t growth = lines > before ? lines - before : 0;
        display.setLineBar(wholePercent(lines, lines + (n > i ? n - i : 0) * growth));
        display.setTimeText(
            timeText(settings.language, dt, n > i ? n - i : 0, RemainingWording::Yearbook));
    };
    while (data.valid() && records.next(line)) {
        t0 = clockSeconds();
        shown = pace.due(i, t0);
        if (shown) {
            display.setRecordText(recordText(i, n));
            display.setTotalBar(wholePercent(i, n));
        }
        context.state.columns.split(line, settings.i33);
        display.pumpEvents();
        if (context.stopRequested()) {
            deliver();
            return RunOutcome::Stopped;
        }

        before = builder.pageLines();
        builder.addRecord(context.state.columns);
        std::string& head = builder.settledHead();
        if (head.size() >= kFlushSize) {
            writer.write(head);
            head.clear();
        }
        if (shown) {
            showPass(builder.pageLines(), clockSeconds() - t0);
        }
        ++i;
    }
    // The last record is always shown, with its pass.
    if (i > 1 && !shown) {
        --i;
        display.setRecordText(recordText(i, n));
        display.setTotalBar(wholePercent(i, n));
        showPass(builder.pageLines(), clockSeconds() - t0);
    }
    deliver();
    return RunOutcome::Completed;
}

}  // namespace pw
