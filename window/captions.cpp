#include "window/captions.h"

#include <array>

namespace pw {

namespace {

constexpr std::array<Caption, 33> kCaptions = {{
    {"onglet0", {"Créer les pages HTML", "Create HTML pages"}},
    {"onglet1", {"Créer les liens hypertexte", "Create hypertext links"}},
    {"onglet2", {"Créer des pages d'index", "Create an index page"}},
    {"Command1", {"Lancer", "Start"}},
    {"Command2", {"Quitter", "Quit"}},
    {"defaut", {"Restaurer les paramètres d'origine", "Reset to default settings"}},
    {"Label1", {"Temps :", "Elapsed :"}},
    {"Label2", {"Total fichiers :", "Total files :"}},
    {"Label3", {"Fichier en cours :", "File in progress :"}},
    {"Label4", {"Fichier contenant les données à importer :", "File of raw data to import :"}},
    {"Label5", {"Destination des pages à créer :", "Destination directory :"}},
    {"Label7", {"Fichier HTML modèle :", "HTML model file :"}},
    {"Label12", {"Méthode de création du nom des pages :", "Page naming method :"}},
    {"Label13", {"Méthode de création du titre des pages :", "Page titling method :"}},
    {"Label14", {"Séparateur :", "Symbol :"}},
    {"Option1", {"Première colonne du fichier des données", "First column of data file "}},
    {"Option2", {"Composition à partir de Tags", "Tags setting"}},
    {"titrep1", {"Deuxième colonne du fichier des données", "Second column of data file "}},
    {"titrep2", {"Composition à partir d'un tag", "Tag setting"}},
    {"Label6", {"Tag de lien :", "Link tag :"}},
    {"Label8", {"Emplacement des fichiers HTML :", "HTML files directory :"}},
    {"Label9", {"Tag de texte :", "Text tag :"}},
    {"Label10", {"Code HTML à insérer pour chaque lien :", "HTML code to be inserted :"}},
    {"Option3",
     {"Création d'index à partir de fichiers HTML", "Index creation from existing HTML files"}},
    {"Option4",
     {"Création d'annuaire à partir d'un fichier de données",
      "Yearbook creation from a data file"}},
    {"Label17", {"Emplacement des fichiers HTML :", "HTML files directory :"}},
    {"Label18", {"Répertoire de destination :", "Destination directory :"}},
    {"Label19", {"Tag de critère :", "Criterion tag :"}},
    {"labelindex", {"Tag de texte :", "Text tag :"}},
    {"Label15", {"Fichier contenant les données à importer :", "File of raw data to import :"}},
    {"Label16", {"Répertoire de destination :", "Destination directory :"}},
    {"Label20", {"Fichier index modèle :", "Yearbook model file :"}},
    {"Label21", {"Séparateur :", "Symbol :"}},
}};

struct HelpEntry {
    std::string_view control;
    Wording text;
};

constexpr std::array<HelpEntry, 14> kHelp = {{
    {"source",
     {"Double-cliquez dans le champ pour choisir le fichier contenant les données. Ce fichier "
      "doit être au format ASCII et chaque colonne doit être séparée par un caractère de votre "
      "choix.\nExemple : Quenbly;5489;disponible;140F;reggae",
      "Double-clic in the field to choose the data file. This file must be in ASCII format and "
      "each column must be separated by a symbol of your choice.\nExample : "
      "Quenbly;5489;available;140$;reggae"}},
    {"fichiermodele",
     {"Double-cliquez dans le champ pour choisir le fichier HTML modèle. Celui-ci doit au "
      "préalable contenir des 'tags' qui correspondront aux colonnes du fichier de données. "
      "Exemple:\n<!--tag2-->\n(lignes vides ou commentaires)\n<!--/tag2-->",
      "Double-clic in the field to choose the HTML model file. It should at least have tags "
      "related to columns in the data file. Example :\n<!--tag2-->\n(empty lignes or "
      "comments)\n<!--/tag2-->"}},
    {"destination",
     {"Double-cliquez dans le champ pour choisir le répertoire où seront crées les pages HTML.",
      "Double-clic in the field to choose the HTML pages destination directory."}},
    {"hyperdir",
     {"Double-cliquez dans le champ pour choisir le répertoire où se trouvent les pages HTML à "
      "traiter.",
      "Double-clic in the field to choose the directory containing the HTML files to work "
      "with."}},
    {"sourcelien",
     {"Choisissez le tag à rechercher dans toutes les pages HTML.\nLe tag sélectionné sera "
      "cherché dans toutes les pages et toute page ayant le même contenu sera liée.",
      "Choose the tag to be searched in every HTML page.\nThis tag will be searched in every "
      "page. All pages with the same tag content will be linked together."}},
    {"Textelien",
     {"Choisissez le tag dont le contenu sera placé sur chaque lien.\nLe contenu du tag sera lu "
      "dans chaque fichier lié et placé comme texte visible de lien.",
      "Choose the tag whose text content will be placed on links.\nThe tag content will be "
      "read in each linked file and will be placed as link text for the user."}},
    {"Tag99",
     {"Choisissez le texte à placer dans le lien hypertexte.\nExemple : si vous écrivez "
      "https://www.example.com/catalogue/, le lien complet sera :\n<a "
      "href=\"https://www.example.com/catalogue/taglien\">tagtexte</a><br>",
      "Choose the text to be placed in the hypertext link.\nExample : If you wrote "
      "https://www.example.com/catalogue/, the full link will be :\n<a "
      "href=\"https://www.example.com/catalogue/link tag\">text tag</a><br>"}},
    {"i10",
     {"Double-cliquez dans le champ pour choisir le repertoire contenant les fichiers HTML à "
      "partir desquels il faut faire un index.",
      "Double-clic in the field to choose the working directory containing the HTML files."}},
    {"i20",
     {"Double-cliquez dans le champ pour choisir le répertoire où seront crées les index.",
      "Double-clic in the field to choose the destination directory of the index pages."}},
    {"i30",
     {"Double-cliquez dans le champ pour choisir le fichier contenant les données. Ce fichier "
      "doit être au format ASCII et chaque colonne doit être séparée par un caractère de votre "
      "choix.\nExemple : Mr.DUPONT;#788;7ème Etage;VENTES",
      "Double-clic in the field to choose the data file. This file must be in ASCII format and "
      "each column must be separated by a symbol of your choice.\nExample : "
      "Mr.JOHNSON;#788;7th Floor;SALES"}},
    {"i40",
     {"Double-cliquez dans le champ pour choisir le répertoire où sera crée l'index.",
      "Double-clic in the field to choose the destination directory of the index pages."}},
    {"i50",
     {"Double-cliquez dans le champ pour choisir le fichier index modèle.\nCelui-ci doit au "
      "préalable contenir le tag100 qui délimite la partie du modèle à répéter en autant de "
      "lignes que nécessaire.",
      "Double-clic in the field to choose the index model file.\nIt should at least have the "
      "tag100 which will mark the part of the model being repeated as many times as needed."}},
    {"Tagindex",
     {"Choisissez le tag dont le contenu sera placé sur chaque lien.\nLe contenu du tag sera lu "
      "dans chaque fichier indexé et placé comme texte visible de lien.",
      "Choose the tag whose text content will be placed on links.\nThe tag content will be "
      "read in each indexed file and will be placed as link text for the user."}},
    {"tagindex2",
     {"Choisissez le tag à rechercher dans toutes les pages HTML.\nLe tag sélectionné sera "
      "cherché dans toutes les pages et toute page ayant le même contenu sera placée dans "
      "l'index.",
      "Choose the tag to be searched in every HTML page.\nThis tag will be searched in every "
      "page. All pages with the same tag content will be placed in the index."}},
}};

}  // namespace

std::span<const Caption> languageCaptions() {
    return kCaptions;
}

const Wording* fieldHelp(std::string_view control) {
    for (const HelpEntry& entry : kHelp) {
        if (entry.control == control) {
            return &entry.text;
        }
    }
    return nullptr;
}

}  // namespace pw
