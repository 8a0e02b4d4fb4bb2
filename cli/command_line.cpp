#include "cli/command_line.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "cli/console_host.h"
#include "cli/options.h"
#include "cli/stored_choices.h"
#include "engine/run_frame.h"
#include "runs/run_table.h"

namespace pw::cli {

namespace {

using Command = Options::Command;

template <typename T>
T orStored(const std::optional<T>& given, const T& stored) {
    return given ? *given : stored;
}

RunSettings buildSettings(const Options& o, const StoredChoices& stored) {
    RunSettings s;
    s.language =
        o.lang ? (*o.lang == "fr" ? Language::French : Language::English) : stored.language;
    s.installDir = stored.installDir;
    switch (o.command) {
        case Command::Pages:
            s.tab = Tab::Pages;
            s.source = orStored(o.data, stored.source);
            s.fichiermodele = orStored(o.model, stored.model);
            s.destination = orStored(o.dest, stored.destination);
            s.separateur = orStored(o.separator, stored.separator);
            if (o.nameTags) {
                s.Option2 = true;
                std::copy(o.nameTags->begin(), o.nameTags->end(), s.namingTags.begin());
            } else if (o.nameFromFirstColumn) {
                s.Option2 = false;
            } else {
                s.Option2 = stored.composedNames;
                s.namingTags = stored.namingTags;
            }
            if (o.titleTag) {
                s.titrep2 = !o.titleTag->empty();
                s.titleTag = *o.titleTag;
            } else {
                s.titrep2 = stored.titleFromTag;
                s.titleTag = stored.titleTag;
            }
            if (!s.Option2) {
                s.namingTags = {};
            }
            if (!s.titrep2) {
                s.titleTag.clear();
            }
            break;
        case Command::Links:
            s.tab = Tab::Hyperlinks;
            s.hyperdir = orStored(o.dir, stored.linksDirectory);
            s.sourcelien = orStored(o.linkTag, stored.linkTag);
            s.Textelien = orStored(o.textTag, stored.linkTextTag);
            s.Tag99 = orStored(o.prefix, stored.linkPrefix);
            break;
        case Command::Index:
            s.tab = Tab::Index;
            s.Option3 = true;
            s.i10 = orStored(o.source, stored.indexSource);
            s.i20 = orStored(o.dest, stored.indexDestination);
            s.tagindex2 = orStored(o.criterionTag, stored.criterionTag);
            s.Tagindex = orStored(o.textTag, stored.indexTextTag);
            break;
        case Command::Yearbook:
            s.tab = Tab::Index;
            s.Option4 = true;
            s.i30 = orStored(o.data, stored.yearbookData);
            s.i50 = orStored(o.model, stored.yearbookModel);
            s.i40 = orStored(o.dest, stored.yearbookDestination);
            s.i33 = orStored(o.separator, stored.yearbookSeparator);
            break;
        default:
            break;
    }
    return s;
}

void printSummary(const RunReport& report, Language language, double seconds) {
    if (language == Language::French) {
        std::printf("Fichiers : %llu écrits, %llu inchangés, %llu non écrits (%.2f s)\n",
                    static_cast<unsigned long long>(report.writtenCount()),
                    static_cast<unsigned long long>(report.unchangedCount()),
                    static_cast<unsigned long long>(report.failedCount()), seconds);
    } else {
        std::printf("Files: %llu written, %llu unchanged, %llu not written (%.2f s)\n",
                    static_cast<unsigned long long>(report.writtenCount()),
                    static_cast<unsigned long long>(report.unchangedCount()),
                    static_cast<unsigned long long>(report.failedCount()), seconds);
    }
}

}  // namespace

int runCommandLine(const std::vector<std::string>& args) {
    std::string error;
    std::optional<Options> options = parseOptions(args, error);
    if (!options) {
        std::fprintf(stderr, "pagewright-cli: %s\n\n%s", error.c_str(), usageText());
        return 2;
    }
    if (options->command == Command::Help) {
        std::fputs(usageText(), stdout);
        return 0;
    }
    if (options->command == Command::Version) {
        std::puts("pagewright-cli 1.04");
        return 0;
    }

    StoredChoices stored = loadStoredChoices(options->lang);
    RunSettings settings = buildSettings(*options, stored);
    bool showProgress = !options->quiet && ::isatty(STDERR_FILENO);
    ConsoleHost host(settings, showProgress);
    ConsoleReport report;
    RunState state;
    RunFrame frame(host, state, report, pagewrightRuns(), Env::system());
    host.attach(frame);
    ConsoleHost::catchInterrupt();

    auto start = std::chrono::steady_clock::now();
    ClickResult result = frame.Command1_Click();
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    switch (result) {
        case ClickResult::Refused:
        case ClickResult::Fatal:
        case ClickResult::Failed:
            return 1;
        case ClickResult::Stopped:
            printSummary(report, settings.language, seconds);
            return 130;
        default:
            printSummary(report, settings.language, seconds);
            return 0;
    }
}

}  // namespace pw::cli
