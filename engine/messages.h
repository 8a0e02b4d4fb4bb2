#pragma once

#include <string>
#include <string_view>

#include "engine/language.h"

namespace pw {

// A text of the program in its two wordings.
struct Wording {
    std::string_view french;
    std::string_view english;
    std::string_view in(Language language) const { return pick(language, french, english); }
};

// The four runs.
enum class RunKind { Pages, Hyperlinks, IndexPages, Yearbook };

namespace messages {

inline constexpr Wording kStartWord{"Lancer", "Start"};
inline constexpr Wording kStopWord{"Arrêter", "Stop"};
inline constexpr Wording kProcessDone{"Traitement terminé...", "Process done..."};
inline constexpr Wording kProcessStopped{"Traitement interrompu...", "Process stopped..."};

// The box of a click that failed before its run could begin; the program ends after it. It has
// one wording: the line is the data line being read, always empty at that stage.
inline constexpr std::string_view kFatalReadTitle =
    "Erreur de lecture de fichier, le programme va quitter.";
inline std::string fatalReadText(std::string_view line) {
    std::string text = "la ligne :\n";
    text += line;
    text += "\n n'est pas correcte.";
    return text;
}

inline constexpr Wording kNoDataFile{"Vous devez choisir un fichier source",
                                     "You must select a data file"};
inline constexpr Wording kDataFileGone{"Le fichier source n'existe plus",
                                       "The data file doesn't exist anylonger"};
inline constexpr Wording kNoModelFile{"Vous devez choisir un fichier modèle",
                                      "You must select a model file"};
inline constexpr Wording kModelFileGone{"Le fichier modèle n'existe plus",
                                        "The model file doesn't exist anylonger"};
inline constexpr Wording kNoDestination{"Vous devez choisir un répertoire de destination",
                                        "You must select a destination directory"};
inline constexpr Wording kDestinationGone{"Le répertoire de destination n'existe plus",
                                          "The destination directory doesn't exist anylonger"};
inline constexpr Wording kNoLinkTag{"Vous devez choisir un Tag de lien",
                                    "You must select a link tag"};
inline constexpr Wording kNoTextTag{"Vous devez choisir un Tag de texte",
                                    "You must select a text tag"};
inline constexpr Wording kNoWorkingDirectory{
    "Choisissez un répertoire contenant les fichiers à traiter",
    "Please choose a working directory"};
inline constexpr Wording kWorkingDirectoryGone{
    "Le répertoire contenant les fichiers à traiter n'existe plus",
    "The working directory doesn't exist anylonger"};
// A run ends with one of these, followed by the file's path, when an input that passed the
// checks before the run cannot be read.
inline constexpr Wording kDataFileUnreadable{"Le fichier source ne peut pas être lu :",
                                             "The data file cannot be read:"};
inline constexpr Wording kModelFileUnreadable{"Le fichier modèle ne peut pas être lu :",
                                              "The model file cannot be read:"};
inline std::string unreadableText(Wording wording, Language language, std::string_view path) {
    std::string text(wording.in(language));
    text += '\n';
    text += path;
    return text;
}

inline constexpr Wording kNoCriterionTag{"Vous devez choisir un Tag de critère",
                                         "You must select a criterion tag"};

// The status caption of a running job.
inline Wording statusCaption(RunKind kind) {
    switch (kind) {
        case RunKind::Pages:
            return {"Génération des pages HTML en cours...", "HTML pages creation in progress..."};
        case RunKind::Hyperlinks:
            return {"Génération des liens hypertexte en cours...",
                    "Hypertext links creation in progress"};
        case RunKind::IndexPages:
            return {"Génération des index en cours...", "Indexes creation in progress..."};
        case RunKind::Yearbook:
            return {"Génération de l'annuaire en cours...", "Yearbook creation in progress..."};
    }
    return {};
}

}  // namespace messages
}  // namespace pw
