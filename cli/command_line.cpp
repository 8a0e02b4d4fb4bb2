#include "cli/command_line.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "cli/console_host.h"
#include "cli/help_text.h"
#include "cli/language_choice.h"
#include "cli/options.h"
#include "cli/stored_choices.h"
#include "engine/data_check.h"
#include "engine/data_check_text.h"
#include "engine/run_frame.h"
#include "engine/validation.h"
#include "fs/dry_run_env.h"
#include "runs/dry_run.h"
#include "runs/run_table.h"

namespace pw::cli {

namespace {

using Command = Options::Command;

// How many findings of each kind a check shows, and a run before it starts.
constexpr size_t kCheckShows = 5;
constexpr size_t kRunShows = 3;

template <typename T>
T orStored(const std::optional<T>& given, const T& stored) {
    return given ? *given : stored;
}

RunSettings buildSettings(const Options& o, const StoredChoices& stored, Language language) {
    RunSettings s;
    s.language = language;
    s.installDir = stored.installDir;
    switch (o.command) {
        case Command::Check:
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

// The field of the run's directory that receives what it writes; null for the cross-links
// run, which writes into the directory it reads.
std::string* destinationOf(RunSettings& s) {
    switch (s.tab) {
        case Tab::Pages:
            return &s.destination;
        case Tab::Index:
            return s.Option3 ? &s.i20 : (s.Option4 ? &s.i40 : nullptr);
        default:
            return nullptr;
    }
}

// One input a refusal of the validation can be about: its two messages, its path and the
// option that gives it.
struct Input {
    Wording ifEmpty;
    Wording ifMissing;
    std::string path;
    const char* option;
};

std::vector<Input> inputsOf(const RunSettings& s) {
    using namespace messages;
    switch (s.tab) {
        case Tab::Pages:
            return {{kNoDataFile, kDataFileGone, s.source, "--data"},
                    {kNoModelFile, kModelFileGone, s.fichiermodele, "--model"},
                    {kNoDestination, kDestinationGone, s.destination, "--dest"}};
        case Tab::Hyperlinks:
            return {{kNoLinkTag, kNoLinkTag, s.sourcelien, "--link-tag"},
                    {kNoTextTag, kNoTextTag, s.Textelien, "--text-tag"},
                    {kNoWorkingDirectory, kWorkingDirectoryGone, s.hyperdir, "--dir"}};
        case Tab::Index:
            if (s.Option3) {
                return {{kNoCriterionTag, kNoCriterionTag, s.tagindex2, "--criterion-tag"},
                        {kNoTextTag, kNoTextTag, s.Tagindex, "--text-tag"},
                        {kNoWorkingDirectory, kWorkingDirectoryGone, s.i10, "--source"},
                        {kNoDestination, kDestinationGone, s.i20, "--dest"}};
            }
            return {{kNoDataFile, kDataFileGone, s.i30, "--data"},
                    {kNoModelFile, kModelFileGone, s.i50, "--model"},
                    {kNoDestination, kDestinationGone, s.i40, "--dest"}};
    }
    return {};
}

// What the command line adds to the window's refusal message: the path of a file or directory
// that is missing, or the option that gives an input left empty.
std::string refusalNote(const RunSettings& s, const Wording& message) {
    for (const Input& input : inputsOf(s)) {
        if (message.english == input.ifMissing.english && !input.path.empty()) {
            return (s.language == Language::French ? " : " : ": ") +
                   shownExcerpt(input.path, input.path.size());
        }
        if (message.english == input.ifEmpty.english) {
            return std::string(" (") + input.option + ")";
        }
    }
    return {};
}

void printError(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
}

// Creates the run's destination when it is missing, its parent exists and every other input
// passes the validation (a refused run creates nothing). Sets `created` to what was made;
// false when it could not be made (the reason is printed).
//
// A dry run creates nothing: it says the destination would be created and reads an empty
// stand-in folder in its place.
bool createMissingDestination(RunSettings& s, std::string& created, const StandInFolder* standIn) {
    std::string* field = destinationOf(s);
    if (field == nullptr || field->empty() || isExistingDirectory(*field)) {
        return true;
    }
    std::filesystem::path path(*field);
    if (!path.has_filename()) {
        path = path.parent_path();
    }
    const std::string parent = path.has_parent_path() ? path.parent_path().string() : ".";
    if (!isExistingDirectory(parent)) {
        return true;
    }
    RunSettings probe = s;
    *destinationOf(probe) = parent + "/";
    if (p_controle(probe)) {
        return true;
    }
    if (standIn != nullptr) {
        *destinationOf(s) = standIn->path();
    } else if (::mkdir(path.c_str(), 0777) != 0) {
        const bool fr = s.language == Language::French;
        printError(std::string(fr ? "Impossible de créer le répertoire de destination : "
                                  : "Cannot create the destination directory: ") +
                   shownExcerpt(path.string(), path.string().size()) + (fr ? " : " : ": ") +
                   std::strerror(errno));
        return false;
    }
    created = path.string();
    return true;
}

void printSummary(const RunReport& report, Language language, double seconds,
                  const std::string& created, bool dryRun) {
    const bool fr = language == Language::French;
    std::printf(fr ? "Fichiers : %llu écrits, %llu inchangés, %llu non écrits (%.2f s)"
                   : "Files: %llu written, %llu unchanged, %llu not written (%.2f s)",
                static_cast<unsigned long long>(report.writtenCount()),
                static_cast<unsigned long long>(report.unchangedCount()),
                static_cast<unsigned long long>(report.failedCount()), seconds);
    if (!created.empty()) {
        std::printf(dryRun ? (fr ? " ; destination à créer : %s" : "; destination to create: %s")
                           : (fr ? " ; destination créée : %s" : "; destination created: %s"),
                    shownExcerpt(created, created.size()).c_str());
    }
    if (dryRun) {
        std::printf(fr ? " ; essai à blanc, rien n'a été écrit" : "; dry run, nothing was written");
    }
    std::printf("\n");
}

// The check's request for the run in `s`: pages, or the yearbook; nothing for the others.
std::optional<CheckRequest> checkRequestOf(const RunSettings& s) {
    if (s.tab == Tab::Pages) {
        return pagesCheckRequest(s);
    }
    if (s.tab == Tab::Index && s.Option4) {
        return yearbookCheckRequest(s);
    }
    return std::nullopt;
}

// Before a run that reads a data file: the check's warnings, the first few of each kind, on
// standard error. Nothing when the inputs would be refused or cannot be read: the run says so.
void warnBeforeRun(const RunSettings& s) {
    std::optional<CheckRequest> request = checkRequestOf(s);
    if (!request || p_controle(s)) {
        return;
    }
    request->keep = kRunShows;
    CheckReport report;
    if (!checkDataAndModel(Env::system(), *request, report).ok() || report.clean()) {
        return;
    }
    const bool fr = s.language == Language::French;
    const std::string data = shownExcerpt(request->dataPath, request->dataPath.size());
    std::fprintf(stderr,
                 fr ? "Avertissements sur %s (pagewright-cli check en montre plus) :\n"
                    : "Warnings about %s (pagewright-cli check shows more):\n",
                 data.c_str());
    for (const std::string& line : checkReportLines(report, s.language)) {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
    std::fflush(stderr);
}

// The check's last word: what a pages run into `destination` would do.
void printWouldDo(const DryRunCounts& counts, const std::string& destination, Language language) {
    const auto n = [](uint64_t count) { return static_cast<unsigned long long>(count); };
    const std::string shown = shownExcerpt(destination, destination.size());
    std::printf(language == Language::French
                    ? "Ce que ferait une passe des pages dans %s : nouvelles %llu, changées %llu, "
                      "inchangées %llu, refusées %llu.\n"
                    : "What a pages run into %s would do: %llu new, %llu changed, %llu "
                      "unchanged, %llu refused.\n",
                shown.c_str(), n(counts.created), n(counts.replaced), n(counts.unchanged),
                n(counts.refused));
}

int runCheck(const Options& o, Language language) {
    StoredChoices stored = loadStoredChoices(language, StoredAccess::ReadOnly);
    RunSettings s = buildSettings(o, stored, language);
    // The data file and the model as the pages run validates them; the destination is not read.
    for (const Input& input : inputsOf(s)) {
        if (std::string(input.option) == "--dest") {
            continue;
        }
        if (input.path.empty()) {
            printError(std::string(input.ifEmpty.in(language)) + refusalNote(s, input.ifEmpty));
            return 1;
        }
        if (!isExistingFile(input.path)) {
            printError(std::string(input.ifMissing.in(language)) + refusalNote(s, input.ifMissing));
            return 1;
        }
    }
    CheckRequest request = pagesCheckRequest(s);
    request.keep = kCheckShows;
    CheckReport report;
    Status status = checkDataAndModel(Env::system(), request, report);
    const bool fr = language == Language::French;
    if (!status.ok()) {
        const bool data = report.unreadable == CheckInput::Data;
        const std::string& path = data ? request.dataPath : request.modelPath;
        printError(messages::unreadableText(
                       data ? messages::kDataFileUnreadable : messages::kModelFileUnreadable,
                       language, shownExcerpt(path, path.size())) +
                   " (" + status.reason() + ")");
        return 1;
    }
    if (!o.quiet) {
        std::printf(fr ? "Fichier de données : %s (séparateur %s)\nModèle : %s\n"
                       : "Data file: %s (separator %s)\nModel: %s\n",
                    shownExcerpt(request.dataPath, request.dataPath.size()).c_str(),
                    separatorWords(request.separator, language).c_str(),
                    shownExcerpt(request.modelPath, request.modelPath.size()).c_str());
        for (const CheckGroup& group : report.groups) {
            std::printf("\n");
            for (const std::string& line : checkGroupLines(group, report, language)) {
                std::printf("%s\n", line.c_str());
            }
        }
        std::printf("\n");
    }
    if (!o.quiet && !s.destination.empty()) {
        DryRunCounts counts;
        if (dryRunPages(Env::system(), s, counts).ok()) {
            printWouldDo(counts, s.destination, language);
        }
    }
    std::printf("%s\n", checkClosingLine(report, language).c_str());
    return report.clean() ? 0 : 4;
}

}  // namespace

int runCommandLine(const std::vector<std::string>& args) {
    UsageError error;
    std::optional<Options> options = parseOptions(args, error);
    if (!options) {
        Language language = languageWithoutFiles(languageOption(args));
        std::fprintf(stderr, "pagewright-cli: %s\n%s", error.in(language).c_str(),
                     usageHint(language).c_str());
        return 2;
    }
    // Help and version read and write no file: their language comes from --lang or the locale.
    if (options->command == Command::Help) {
        std::fputs(helpText(languageWithoutFiles(options->lang), options->helpTopic).c_str(),
                   stdout);
        return 0;
    }
    if (options->command == Command::Version) {
        std::puts(versionLine());
        return 0;
    }

    const Language language = chooseLanguage(options->lang, storedLanguageCode());
    if (options->command == Command::Check) {
        return runCheck(*options, language);
    }

    StoredChoices stored = loadStoredChoices(language, StoredAccess::AsTheWindow);
    RunSettings settings = buildSettings(*options, stored, language);
    std::string created;
    std::optional<StandInFolder> standIn;
    if (options->dryRun) {
        standIn.emplace();
    }
    if (!createMissingDestination(settings, created, standIn ? &*standIn : nullptr)) {
        return 1;
    }
    if (!options->quiet) {
        warnBeforeRun(settings);
    }
    bool showProgress = !options->quiet && ::isatty(STDERR_FILENO);
    ConsoleHost host(settings, showProgress);
    if (auto refusal = p_controle(settings)) {
        host.setRefusalNote(refusalNote(settings, *refusal));
    }
    ConsoleReport report(language);
    RunState state;
    DryRunEnv dryRun(Env::system());
    RunFrame frame(host, state, report, pagewrightRuns(),
                   options->dryRun ? static_cast<Env&>(dryRun) : Env::system());
    host.attach(frame);
    ConsoleHost::catchSignals();

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
            printSummary(report, language, seconds, created, options->dryRun);
            return 130;
        default:
            printSummary(report, language, seconds, created, options->dryRun);
            return report.failedCount() > 0 ? 3 : 0;
    }
}

}  // namespace pw::cli
