#include "uninstall/uninstall_run.h"

#include "fs/file.h"
#include "uninstall/removal.h"
#include "uninstall/uninstall_text.h"

namespace pw {

namespace fs = std::filesystem;

namespace {

void say(std::FILE* to, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), to);
}

}  // namespace

std::optional<UninstallOptions> parseUninstallOptions(const std::vector<std::string>& args,
                                                      std::string& error) {
    UninstallOptions options;
    for (const std::string& arg : args) {
        if (arg == "--yes" || arg == "-y") {
            options.yes = true;
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version" || arg == "-V") {
            options.version = true;
        } else {
            error = "unknown argument '" + arg + "'";
            return std::nullopt;
        }
    }
    return options;
}

std::string_view uninstallUsage() {
    return "usage: pagewright-uninstall [--yes]\n"
           "\n"
           "Removes this installation of Pagewright: the files `make install` put in place,\n"
           "the folders it created once they are empty, and its registry records. Files you\n"
           "added are kept. It lists what will go and asks first: on the terminal, else in a\n"
           "small window when a display is there.\n"
           "\n"
           "  -y, --yes      remove without asking (for scripts)\n"
           "  -h, --help     print this help and exit\n"
           "  -V, --version  print the version and exit\n"
           "\n"
           "Exit status: 0 removed, or nothing left to remove; 1 nothing removed (the answer\n"
           "was no, nobody could be asked, or the manifest cannot be read), or something could\n"
           "not be removed; 2 bad usage.\n";
}

AskWay chooseAskWay(bool yes, bool terminal, bool window) {
    if (yes) {
        return AskWay::AnsweredByOption;
    }
    if (terminal) {
        return AskWay::Terminal;
    }
    return window ? AskWay::Window : AskWay::Nobody;
}

bool askOnTerminal(const std::string& listing, Language language, std::FILE* in, std::FILE* out) {
    say(out, listing);
    say(out, removeQuestion(language));
    std::fflush(out);
    std::string answer;
    int c = 0;
    while ((c = std::fgetc(in)) != EOF && c != '\n') {
        answer.push_back(static_cast<char>(c));
    }
    return isYes(answer);
}

int runUninstall(const UninstallRequest& request, std::FILE* out, std::FILE* err,
                 RegistryApi& api) {
    Language language = request.language;
    fs::path manifestPath = request.installDir / kManifestName;
    std::string text;
    Status read = readFile(Env::system(), manifestPath.string(), text);
    if (!read.ok()) {
        std::fprintf(err, "pagewright-uninstall: %s %s (%s)\n",
                     std::string(pick(language, "rien à désinstaller, illisible :",
                                      "nothing to uninstall, cannot read"))
                         .c_str(),
                     manifestPath.c_str(), read.reason().c_str());
        return kUninstallNotDone;
    }
    RemovalPlan plan = planRemoval(parseManifest(text), request.installDir, api);
    if (plan.empty()) {
        say(out, pick(language, "Il ne reste rien à supprimer.\n", "Nothing is left to remove.\n"));
        return kUninstallDone;
    }

    std::string listing = describePlan(plan, language);
    switch (request.way) {
        case AskWay::AnsweredByOption:
            break;
        case AskWay::Terminal:
        case AskWay::Window:
            if (!request.ask || !request.ask(listing)) {
                say(out, pick(language, "Rien n'a été supprimé.\n", "Nothing was removed.\n"));
                return kUninstallNotDone;
            }
            break;
        case AskWay::Nobody:
            say(err, listing);
            say(err, pick(language,
                          "pagewright-uninstall : rien n'a été supprimé : ni "
                          "terminal pour poser la question, ni écran pour une "
                          "fenêtre ; lancez « pagewright-uninstall --yes » pour "
                          "supprimer sans question.\n",
                          "pagewright-uninstall: nothing was removed: there is no "
                          "terminal to ask on and no display for a window; run "
                          "'pagewright-uninstall --yes' to remove without being "
                          "asked.\n"));
            return kUninstallNotDone;
    }

    RemovalOutcome outcome = carryOut(plan, api);
    std::string report = describeOutcome(outcome, plan, language);
    for (const std::string& failure : outcome.failures) {
        std::fprintf(err, "pagewright-uninstall: %s %s\n",
                     std::string(pick(language, "non supprimé :", "not removed:")).c_str(),
                     failure.c_str());
    }
    say(out, report);
    std::fflush(out);
    if (request.tell) {
        std::string shown = report;
        if (!outcome.failures.empty()) {
            shown += pick(language, "Non supprimé :\n", "Not removed:\n");
            for (const std::string& failure : outcome.failures) {
                shown += "  " + failure + "\n";
            }
        }
        request.tell(shown);
    }
    return outcome.failures.empty() ? kUninstallDone : kUninstallNotDone;
}

}  // namespace pw
