#include "uninstall/uninstall_text.h"

#include <algorithm>
#include <cstdlib>

namespace pw {

namespace fs = std::filesystem;

namespace {

bool isInside(const fs::path& path, const fs::path& dir) {
    auto [end, at] = std::mismatch(dir.begin(), dir.end(), path.begin(), path.end());
    return end == dir.end() && at != path.end();
}

// The files inside the installation folder as one line, the others one a line.
void appendFiles(std::string& text, const std::vector<fs::path>& files, const fs::path& installDir,
                 Language language) {
    size_t inside = std::count_if(files.begin(), files.end(),
                                  [&](const fs::path& f) { return isInside(f, installDir); });
    if (inside > 0) {
        std::string count = std::to_string(inside);
        std::string dir = installDir.string() + "/";
        text += language == Language::French
                    ? (inside == 1 ? "  le fichier installé dans "
                                   : "  les " + count + " fichiers installés dans ")
                    : (inside == 1 ? "  the file installed in "
                                   : "  the " + count + " files installed in ");
        text += dir + "\n";
    }
    for (const fs::path& file : files) {
        if (!isInside(file, installDir)) {
            text += "  " + file.string() + "\n";
        }
    }
}

void appendRecords(std::string& text, const RecordsFound& records, Language language) {
    if (!records.any()) {
        return;
    }
    std::string names;
    if (records.appPaths) {
        names = "App Paths";
    }
    if (records.uninstallSlot) {
        names += names.empty() ? "" : ", ";
        names += pick(language, "emplacement de désinstallation 1", "uninstall slot 1");
    }
    text += pick(language, "  ses entrées dans le registre : ", "  its registry records: ");
    text += names + "\n";
}

}  // namespace

Language localeLanguage() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return std::string_view(value).substr(0, 2) == "fr" ? Language::French
                                                                : Language::English;
        }
    }
    return Language::English;
}

std::string describePlan(const RemovalPlan& plan, Language language) {
    std::string text(pick(language, "La désinstallation de Pagewright supprime :\n",
                          "Uninstalling Pagewright removes:\n"));
    appendFiles(text, plan.files, plan.installDir, language);
    if (!plan.dirs.empty()) {
        std::string count = std::to_string(plan.dirs.size());
        text += language == Language::French ? "  les dossiers créés par l'installation (" + count +
                                                   "), chacun s'il ne contient plus rien\n"
                                             : "  the folders the installation created (" + count +
                                                   "), each once nothing else is in it\n";
    }
    appendRecords(text, plan.records, language);
    text += pick(language, "Les fichiers que vous avez ajoutés sont conservés.\n",
                 "Files you added yourself are kept.\n");
    return text;
}

std::string describeOutcome(const RemovalOutcome& outcome, const RemovalPlan& plan,
                            Language language) {
    std::string text;
    if (outcome.removedFiles.empty() && outcome.removedDirs.empty() && !outcome.forgotten.any()) {
        text = pick(language, "Rien n'a été supprimé.\n", "Nothing was removed.\n");
    } else {
        text = pick(language, "Supprimé :\n", "Removed:\n");
        appendFiles(text, outcome.removedFiles, plan.installDir, language);
        for (const fs::path& dir : outcome.removedDirs) {
            text +=
                std::string(pick(language, "  le dossier ", "  the folder ")) + dir.string() + "\n";
        }
        appendRecords(text, outcome.forgotten, language);
    }
    if (!outcome.keptDirs.empty()) {
        text += pick(language, "Conservés, car ils contiennent d'autres fichiers :\n",
                     "Kept, because they hold other files:\n");
        for (const fs::path& dir : outcome.keptDirs) {
            text += "  " + dir.string() + "\n";
        }
    }
    return text;
}

std::string_view removeQuestion(Language language) {
    return pick(language, "Supprimer Pagewright ? [o/N] ", "Remove Pagewright? [y/N] ");
}

bool isYes(std::string_view answer) {
    while (!answer.empty() && (answer.front() == ' ' || answer.front() == '\t')) {
        answer.remove_prefix(1);
    }
    while (!answer.empty() && (answer.back() == ' ' || answer.back() == '\t' ||
                               answer.back() == '\n' || answer.back() == '\r')) {
        answer.remove_suffix(1);
    }
    std::string lower(answer);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower == "y" || lower == "yes" || lower == "o" || lower == "oui";
}

}  // namespace pw
