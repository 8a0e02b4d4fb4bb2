#include "index/yearbook_run.h"

#include <optional>

#include "engine/data_file.h"
#include "engine/progress_pace.h"
#include "engine/progress_text.h"
#include "fs/line_reader.h"
#include "fs/work_file.h"
#include "index/yearbook_rules.h"

namespace pw {

namespace {

// Writes the new page as it grows, compared with the page already there, so an identical page
// is left untouched and a different one replaces it whole.
class PageWriter {
  public:
    PageWriter(const Directory& directory, std::string name)
        : m_directory(directory), m_name(std::move(name)) {
        // A page that cannot be read is not the same: it is replaced, if it may be.
        (void)directory.openExisting(m_name, m_old, m_previous);
        m_version.emplace(directory, m_name, m_previous, m_old, Durability::kAtomic);
    }

    void write(std::string_view bytes) { (void)m_version->write(bytes); }

    // Delivers the page; reports what became of it.
    void deliver(RunReport& report) {
        Delivery delivery;
        Status status = m_version->finish(delivery);
        report.record(m_directory.pathOf(m_name), status, delivery);
    }

  private:
    const Directory& m_directory;
    std::string m_name;
    FileHandle m_old;
    Entry m_previous;
    std::optional<StreamedVersion> m_version;
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
    DataFile records(context.env, settings.i30, display.showsProgress());
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

    // The page is written as it settles, compared with the page already there.
    PageWriter writer(destination, pageName);
    auto write = [&writer](std::string_view piece) { writer.write(piece); };
    YearbookBuilder builder(std::move(model), write);
    auto deliver = [&] {
        builder.finish(write);
        writer.deliver(context.report);
    };

    ProgressPace pace(n, display.showsProgress());
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
        t0 = pace.shows() ? clockSeconds() : 0;
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
        if (shown) {
            showPass(builder.pageLines(), clockSeconds() - t0);
        }
        ++i;
    }
    if (!records.status().ok()) {
        return context.fail(messages::kDataFileUnreadable, settings.i30);  // the work file goes
    }
    // The last record is always shown, with its pass.
    if (i > 1 && !shown && pace.shows()) {
        --i;
        display.setRecordText(recordText(i, n));
        display.setTotalBar(wholePercent(i, n));
        showPass(builder.pageLines(), clockSeconds() - t0);
    }
    deliver();
    return RunOutcome::Completed;
}

}  // namespace pw
