#include "cli/stored_choices.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

namespace pw::cli {

namespace {

// The directory of the running program, through symbolic links, with a final separator.
std::string programDirectory() {
    char path[PATH_MAX];
    ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) {
        return "/";
    }
    std::string full(path, static_cast<size_t>(length));
    return full.substr(0, full.rfind('/') + 1);
}

std::string defaultDirectory() {
    const char* home = std::getenv("HOME");
    std::string dir = std::string(home && *home ? home : "/tmp") + "/Pagewright/";
    ::mkdir(dir.c_str(), 0777);
    return dir;
}

}  // namespace

StoredChoices loadStoredChoices(const std::optional<std::string>& lang) {
    StoredChoices c;
    c.language = lang && *lang == "en" ? Language::English : Language::French;
    c.installDir = programDirectory();
    const bool french = c.language == Language::French;
    const std::string samples = c.installDir + (french ? "Français/" : "English/");
    c.source = samples + (french ? "exemple_de_données.txt" : "sample_data_file.txt");
    c.model = samples + (french ? "exemple_de_modèle_html.htm" : "sample_html_model_file.htm");
    c.yearbookData = samples + (french ? "annuaire_données.csv" : "yearbook_data.csv");
    c.yearbookModel = samples + (french ? "annuaire_modèle.htm" : "yearbook_model.htm");
    std::string dir = defaultDirectory();
    c.destination = c.linksDirectory = c.indexSource = c.indexDestination = c.yearbookDestination =
        dir;
    c.linkTag = c.criterionTag = "Tag N°2";
    c.linkTextTag = c.indexTextTag = "Tag N°3";
    return c;
}

}  // namespace pw::cli
