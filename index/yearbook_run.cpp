#include "index/yearbook_run.h"

#include <cerrno>

#include "engine/data_file.h"
#include "engine/progress_pace.h"
#include "engine/progress_text.h"
#include "fs/line_reader.h"
#include "fs/work_file.h"
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
        : m_directory(directory), m_name(std::move(name)), m_work(directory, Durability::kAtomic) {
        m_previous = directory.entry(m_name);
        if (m_previous.exists && m_previous.regular) {
            (void)directory.openForReading(m_name, m_old);
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
            size_t got = 1;
            m_same = m_directory.env().read(m_old.fd(), &extra, 1, got).ok() && got == 0;
        }
        if (m_same) {
            m_work.discard();
            report.unchanged();
            return;
        }
        if (m_status.ok() && m_previous.exists && !m_previous.writable) {
            m_status = Status::ioError("read-only file", EACCES);
        }
        if (m_status.ok() && !m_work.isOpen()) {
            m_status = m_work.open();
        }
        if (m_status.ok()) {
            m_status = m_work.deliver(m_name, m_previous);
        }
        if (!m_status.ok()) {
            m_work.discard();
        }
        report.record(m_directory.pathOf(m_name), m_status, Delivery::kWritten);
    }

  private:
    bool matchesOld(std::string_view bytes) {
        m_buffer.resize(bytes.size());
        size_t got = 0;
        while (got < bytes.size()) {
            size_t n = 0;
            if (!m_directory.env()
                     .read(m_old.fd(), m_buffer.data() + got, bytes.size() - got, n)
                     .ok() ||
                n == 0) {
                return false;
            }
            got += n;
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
    Delivery delivery;
    Status status = copyFileInto(from, destination, std::string(kBackgroundName), delivery);
    if (status.isNotFound()) {
        return;  // an installation without the picture: the page goes without it
    }
    context.report.record(destination.pathOf(kBackgroundName), status, delivery);
}

}  // namespace

RunOutcome runYearbook(RunContext& context) {
    const RunSettings& settings = context.settings;
    ProgressDisplay& display = context.display();
    context.announce(RunKind::Yearbook);

    // Nothing is written unless both inputs can be read.
    DataFile records(context.env, settings.i30);
    if (!records.status().ok()) {
        return context.fail(messages::kDataFileUnreadable, settings.i30);
    }
    const uint64_t n = records.count();
    std::string model;
    if (!readFile(context.env, settings.i50, model).ok()) {
        return context.fail(messages::kModelFileUnreadable, settings.i50);
    }
    Directory destination(context.env, settings.i40);
    const std::string pageName(kYearbookPageName);
    copyBackground(context, destination);

    YearbookBuilder builder(model);
    PageWriter writer(destination, pageName);
    auto deliver = [&] {
        std::string page;
        builder.finish(page);
        writer.write(page);
        writer.deliver(context.report);
    };

    ProgressPace pace(n);
    std::string_view line;
    uint64_t i = 1;
    uint64_t before = builder.pageLines();  // the page's lines before the current pass
    double t0 = 0;
    bool shown = false;
    // The line counter and bars of record `i`, shown once its pass is made.
    auto showPass = [&](uint64_t lines, double dt) {
        display.setLineText(CountText(lines).view());
        // The page's expected length, extrapolated from the growth of this pass.
        uint64_t growth = lines > before ? lines - before : 0;
        display.setLineBar(wholePercent(lines, lines + (n > i ? n - i : 0) * growth));
        display.setTimeText(
            timeText(settings.language, dt, n > i ? n - i : 0, RemainingWording::Yearbook));
    };
    while (records.next(line)) {
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
    if (!records.status().ok()) {
        return context.fail(messages::kDataFileUnreadable, settings.i30);  // the work file goes
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
