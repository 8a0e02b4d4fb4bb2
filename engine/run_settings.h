#pragma once

#include <array>
#include <string>

#include "engine/language.h"

namespace pw {

// The tab of the window a run belongs to.
enum class Tab { Pages = 0, Hyperlinks = 1, Index = 2 };

// What a run receives when it starts, built from the active tab's controls (or from the
// command line) and read-only during the run. Fields are named after their controls.
struct RunSettings {
    Tab tab = Tab::Pages;
    bool Option3 = false;  // index tab: index pages from HTML files
    bool Option4 = false;  // index tab: yearbook from a data file
    Language language = Language::French;
    std::string installDir;  // ends with a separator; the sample files lie below it

    // Pages run.
    std::string source;         // data file
    std::string fichiermodele;  // HTML model
    std::string destination;    // destination directory
    char separateur = ';';
    bool Option2 = false;                   // naming composed from tags, else the first column
    std::array<std::string, 4> namingTags;  // nomdufichierhtm(0) to (3): "Tag N°k" or empty
    bool titrep2 = false;                   // titling from a tag, else the second column
    std::string titleTag;                   // nomdufichierhtm(4)

    // Hyperlinks run.
    std::string hyperdir;
    std::string sourcelien;  // link tag
    std::string Textelien;   // text tag
    std::string Tag99;       // HTML written before every link target

    // Index pages run.
    std::string i10;        // directory of the pages
    std::string i20;        // destination of the index pages
    std::string tagindex2;  // criterion tag
    std::string Tagindex;   // link-text tag

    // Yearbook run.
    std::string i30;  // data file
    std::string i50;  // yearbook model
    std::string i40;  // destination directory
    char i33 = ';';   // separator
};

}  // namespace pw
