#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "engine/language.h"
#include "fs/status.h"
#include "settings/ini_document.h"
#include "settings/profile.h"
#include "settings/settings_keys.h"

namespace pw {

// Page naming method: `Option1` (first column of the data file) or `Option2` (from tags).
enum class NamingMethod { FirstColumn, FromTags };
// Page titling method: `titrep1` (second column) or `titrep2` (from a tag).
enum class TitleMethod { SecondColumn, FromTag };
// Run of the index tab: `Option3` (index pages from HTML files) or `Option4` (yearbook).
enum class IndexRun { IndexPages, Yearbook };

// Every stored choice, as the load gives it to the window and the command line. Texts are
// the keys' values with their defaults, cut to their read limits and trimmed.
struct SettingsSnapshot {
    // Section Parametres.
    std::string langue;
    std::string source;       // `source`
    std::string modele;       // `fichiermodele`
    std::string destination;  // `destination`
    std::string lien;         // `hyperdir`
    std::string textesource;  // `sourcelien`
    std::string textelien;    // `Textelien`
    std::string tag99;        // `Tag99`
    std::string option;
    std::array<std::string, 5> tagF;  // TagF0..TagF4 as stored
    std::string titre;
    std::string symbole;
    // Section Index.
    std::string indexFile;   // `i30`
    std::string indexModel;  // `i50`
    std::string tagIndex;    // `Tagindex`
    std::string indexMethod;
    std::string tagIndex2;     // `tagindex2`
    std::string source1;       // `i10`
    std::string destination1;  // `i20`
    std::string symbole2;
    std::string destination2;  // `i40`

    // Choices derived from the texts above.
    Language language = Language::French;             // `Langue`: "F" French, else English
    NamingMethod naming = NamingMethod::FirstColumn;  // `Option` 1, or not a number
    TitleMethod titling = TitleMethod::SecondColumn;  // `Titre` 1, or not a number
    IndexRun indexRun = IndexRun::IndexPages;         // `IndexMethod` beginning with "True"
    int separatorIndex = 0;   // `Symbole` 0..6, else 0 (`separateur` list index)
    int separatorIndex2 = 0;  // `Symbole2` 0..6, else 0 (`i33` list index)

    // The separator characters of the pages run and of the yearbook.
    char separator() const;
    char separator2() const;

    // The texts of the five naming lists once the methods are applied: TagF0..TagF3 empty
    // with the first-column naming, TagF4 empty with the second-column titling.
    std::array<std::string, 5> namingTags() const;

    bool operator==(const SettingsSnapshot&) const = default;
};

// Loads every key of `document` in the load order (`Langue`, the four sample paths of that
// language, then the rest) with the defaults of `installDir` and `defaultDir`.
SettingsSnapshot p_lecture_fichier_ini(const IniDocument& document, std::string_view installDir,
                                       std::string_view defaultDir);

// Loads the settings file of `context`. Reading never writes the file; a missing, unreadable
// or corrupt file gives the defaults wherever a key cannot be read.
SettingsSnapshot p_lecture_fichier_ini(const SettingsContext& context);

// The key writes that the window's handlers make while a load is applied, in the window's
// order: `i40`, `i50`, `i30`, `i10`, `i20` (each when not empty), `Option3`/`Option4`
// (`IndexMethod`), `source`, `fichiermodele`, `destination`, `hyperdir` (when not empty),
// `Tag99` (always), `Option1`/`Option2` (`Option`, and with the first-column naming the five
// naming texts with TagF0..TagF3 empty), `titrep1`/`titrep2` (`Titre`, and `TagF4` emptied).
// The naming texts are taken from the snapshot, never from lists not yet filled, so the
// stored tags survive a load apart from the emptying the two methods imply.
std::vector<ProfileWrite> loadRewrites(const SettingsSnapshot& snapshot);

// Applies loadRewrites() to the settings file as one change. The window calls this once
// after it has filled its controls from the snapshot with its own key-writing handlers
// silenced.
Status applyLoadRewrites(const SettingsContext& context, const SettingsSnapshot& snapshot);

}  // namespace pw
