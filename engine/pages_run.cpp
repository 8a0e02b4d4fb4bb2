#include "engine/pages_run.h"

#include "engine/data_file.h"
#include "engine/page_assembler.h"
#include "engine/page_naming.h"
#include "engine/progress_pace.h"
#include "engine/progress_text.h"

namespace pw {

RunOutcome runPages(RunContext& context) {
    const RunSettings& settings = context.settings;
    ProgressDisplay& display = context.display();

    // A run never composes names without the first tag, nor titles from an empty tag.
    bool titleFromTag = settings.titrep2;
    if (settings.titleTag.empty()) {
        titleFromTag = false;
        context.host.selectFirstTitling();
    }
    context.state.titleColumn = titleColumnOf(titleFromTag, settings.titleTag);
    bool composed = settings.Option2;
    if (settings.namingTags[0].empty()) {
        composed = false;
        context.host.selectFirstNaming();
    }
    context.announce(RunKind::Pages);

    DataFile records(context.env, settings.source, display.showsProgress());
    if (!records.status().ok()) {
        return context.fail(messages::kDataFileUnreadable, settings.source);
    }
    const uint64_t n = records.count();

    Directory destination(context.env, settings.destination);
    PageAssembler assembler(context, destination, settings.fichiermodele);
    if (!assembler.modelStatus().ok()) {
        return context.fail(messages::kModelFileUnreadable, settings.fichiermodele);
    }
    ProgressPace pace(n, display.showsProgress());
    uint64_t i = 1;
    std::string_view line;
    while (records.next(line)) {
        const double t0 = pace.shows() ? clockSeconds() : 0;
        const bool shown = pace.due(i, t0);
        if (shown) {
            display.setRecordText(recordText(i, n));
            display.setTotalBar(wholePercent(i, n));
        }
        ++i;
        context.state.columns.split(line, settings.separateur);
        std::string name = pageName(composed, settings.namingTags, context.state.columns);
        const std::string_view title = context.state.columns.at(context.state.titleColumn);
        switch (assembler.assemble(name, title, shown)) {
            case PageOutcome::Stopped:
                return RunOutcome::Stopped;
            case PageOutcome::Written:
                context.report.written();
                break;
            case PageOutcome::Unchanged:
                context.report.unchanged();
                break;
            case PageOutcome::Failed:
                context.report.failed(destination.pathOf(name), assembler.lastStatus().reason());
                break;
        }
        if (context.stopRequested()) {
            return RunOutcome::Stopped;
        }
        if (shown) {
            double dt = clockSeconds() - t0;
            uint64_t finished = i - 1;
            display.setTimeText(timeText(settings.language, dt, n > finished ? n - finished : 0));
        }
    }
    if (!records.status().ok()) {
        return context.fail(messages::kDataFileUnreadable, settings.source);
    }
    return RunOutcome::Completed;
}

}  // namespace pw
