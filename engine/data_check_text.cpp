#include "engine/data_check_text.h"

#include <cstdio>

#include "engine/utf8.h"

namespace pw {

namespace {

std::string number(uint64_t n) {
    return std::to_string(n);
}

bool french(Language language) {
    return language == Language::French;
}

// "(N):" at the end of a heading that findings follow.
std::string counted(Language language, uint64_t count) {
    return " (" + number(count) + (french(language) ? ") :" : "):");
}

std::string lineLabel(Language language, uint64_t line) {
    return (french(language) ? "ligne " : "line ") + number(line);
}

std::string modelLineLabel(Language language, uint64_t line) {
    return french(language) ? "ligne " + number(line) + " du modèle" : "model line " + number(line);
}

std::string colon(Language language) {
    return french(language) ? " : " : ": ";
}

std::string columnsWord(Language language, uint64_t n) {
    if (french(language)) {
        return n <= 1 ? " colonne" : " colonnes";
    }
    return n == 1 ? " column" : " columns";
}

std::string droppedReason(Language language, DroppedBy by) {
    switch (by) {
        case DroppedBy::Marker:
            return std::string(
                pick(language, "seul le marqueur est gardé", "only the marker is kept"));
        case DroppedBy::InvalidMarker:
            return std::string(
                pick(language, "pas un marqueur valide, de tag 0 à 100 : toute la ligne disparaît",
                     "not a valid marker, tag 0 to 100: the whole line is dropped"));
        case DroppedBy::Title:
            return std::string(pick(language,
                                    "seul <title>...</title> est gardé, avec le titre de la page",
                                    "only <title>...</title> is kept, with the page's title"));
        case DroppedBy::UnclosedTitle:
            return std::string(
                pick(language,
                     "pas de </title> sur la ligne : elle devient <title>titre</title> et les "
                     "lignes suivantes restent",
                     "no </title> on the line: it becomes <title>title</title> and the lines "
                     "after it stay"));
        case DroppedBy::Generator:
            return std::string(pick(language, "seul l'élément meta GENERATOR est gardé",
                                    "only the GENERATOR meta element is kept"));
    }
    return {};
}

// The headings that depend on the kind alone; those of the kinds whose findings follow them end
// with the count.
struct FixedHeading {
    CheckKind kind;
    const char* french;
    const char* english;
    bool counted;
};

constexpr FixedHeading kFixedHeadings[] = {
    {CheckKind::DataUtf16,
     "Le fichier de données est en UTF-16 (le « texte Unicode » d'un tableur) : aucune de ses "
     "lignes ne donnerait une fiche utilisable. Enregistrez-le en texte UTF-8.",
     "The data file is in UTF-16 (a spreadsheet's \"Unicode text\"): none of its lines would "
     "give a usable record. Save it as UTF-8 text.",
     false},
    {CheckKind::NoRegionMarkers,
     "Le modèle n'a aucun marqueur de zone (<!--tag2--> sur une ligne, <!--/tag2--> sur une "
     "autre) : chaque page serait le modèle lui-même, à part son titre.",
     "The model has no region marker (<!--tag2--> on a line, <!--/tag2--> on another): every "
     "page would be the model itself, apart from its title.",
     false},
    {CheckKind::ModelNoCharset,
     "Le modèle ne déclare aucun jeu de caractères (<meta charset=\"utf-8\">) et les données "
     "contiennent des lettres accentuées : les navigateurs risquent de mal les afficher.",
     "The model declares no character set (<meta charset=\"utf-8\">) and the data holds "
     "accented letters: browsers may show them wrongly.",
     false},
    {CheckKind::MarkerLookalike,
     "Lignes du modèle qui ressemblent à un marqueur sans en être un (un marqueur s'écrit "
     "exactement <!--tag2--> : en minuscules, sans espace ni zéro en tête) ; la passe les recopie "
     "telles quelles",
     "Model lines that look like a marker but are none (a marker is written exactly <!--tag2-->: "
     "lower case, no blank, no leading zero); the run copies them as they are",
     true},
    {CheckKind::MarkupDropped,
     "Lignes du modèle dont la passe ne garde qu'une partie (mettez chaque marqueur, la ligne "
     "<title> et la ligne GENERATOR seuls sur leur ligne)",
     "Model lines of which the run keeps only part (put each marker, the <title> line and the "
     "GENERATOR line on a line of its own)",
     true},
    {CheckKind::ShortForName,
     "Lignes qui ont moins de colonnes que n'en demandent le nom ou le titre de la page ; les "
     "colonnes manquantes sont lues vides",
     "Lines with fewer columns than the page name or the title need; the missing columns read as "
     "empty",
     true},
    {CheckKind::QuotedField,
     "Champs qui commencent ou finissent par un guillemet : le format ne connaît pas les "
     "guillemets, ils restent dans les pages et un séparateur entre eux coupe la valeur. Exportez "
     "sans délimiteur de texte",
     "Fields that begin or end with a quotation mark: the format has no quoting, so the marks "
     "stay in the pages and a separator between them splits the value. Export without a text "
     "delimiter",
     true},
    {CheckKind::RefusedName,
     "Noms de page que la passe refuserait (un / ou un octet nul, . ou .., ou plus de 255 "
     "octets) : ces lignes ne donnent pas de page",
     "Page names the run would refuse (a / or a NUL byte, . or .., or more than 255 bytes): "
     "these lines give no page",
     true},
    {CheckKind::HiddenName,
     "Noms de page qui commencent par un point : les pages sont cachées, et les passes des liens "
     "et des index les ignorent",
     "Page names that begin with a dot: the pages are hidden, and the links and index runs leave "
     "them out",
     true},
    {CheckKind::DuplicateName,
     "Noms de page produits par plusieurs lignes : la ligne suivante écrase la page de la "
     "précédente",
     "Page names made by more than one line: the later line overwrites the page of the earlier "
     "one",
     true},
};

std::string heading(const CheckGroup& group, const CheckReport& report, Language language) {
    const bool fr = french(language);
    const std::string separator = separatorWords(report.separator, language);
    switch (group.kind) {
        case CheckKind::SeparatorMissing: {
            std::string text =
                fr ? "Aucune ligne du fichier de données ne contient le séparateur " + separator +
                         " : chaque ligne ne ferait qu'une colonne."
                   : "No line of the data file holds the separator " + separator +
                         ": every line would be one column.";
            const CheckFinding& finding = group.first.front();
            if (!finding.text.empty()) {
                std::string other = finding.text[0] == '\t'
                                        ? std::string(pick(language, "une tabulation", "a tab"))
                                        : separatorWords(finding.text[0], language);
                text += ' ';
                text += fr ? number(finding.columns) + " lignes sur " + number(report.dataLines) +
                                 " contiennent " + other + " : est-ce le séparateur ?"
                           : number(finding.columns) + " of " + number(report.dataLines) +
                                 " lines hold " + other + ": is it the separator?";
            }
            return text;
        }
        case CheckKind::DataNotUtf8:
            return (fr ? "Lignes du fichier de données qui ne sont pas en UTF-8 alors que le "
                         "modèle déclare " +
                             report.modelCharset +
                             " (un export Windows-1252 ou Latin-1) : leurs lettres accentuées "
                             "s'afficheraient \xEF\xBF\xBD. Exportez les données en UTF-8"
                       : "Lines of the data file that are not UTF-8 while the model declares " +
                             report.modelCharset +
                             " (a Windows-1252 or Latin-1 export): their accented letters would "
                             "show as \xEF\xBF\xBD. Export the data as UTF-8") +
                   counted(language, group.count);
        case CheckKind::DataUtf8ModelNot:
            return (fr ? "Lignes du fichier de données en UTF-8 alors que le modèle déclare " +
                             report.modelCharset +
                             " : chaque lettre accentuée s'afficherait en deux caractères (Ã©). "
                             "Déclarez utf-8 dans le modèle, ou exportez les données dans son jeu "
                             "de caractères"
                       : "Lines of the data file in UTF-8 while the model declares " +
                             report.modelCharset +
                             ": each accented letter would show as two characters (Ã©). "
                             "Declare utf-8 in the model, or export the data in its character "
                             "set") +
                   counted(language, group.count);
        case CheckKind::MaybeHeader:
            return fr ? std::string(
                            "La première ligne est peut-être une ligne d'en-tête (aucune "
                            "valeur n'y est un nombre et aucune ne revient dans sa "
                            "colonne) ; comme toute ligne, elle ") +
                            (report.namesPages ? "deviendrait une page"
                                               : "ajouterait un bloc à l'annuaire") +
                            ". Supprimez-la si elle nomme les colonnes :"
                      : std::string(
                            "The first line may be a header row (no value in it is a "
                            "number and none appears again in its column); like every "
                            "line it would ") +
                            (report.namesPages ? "become a page" : "add a block to the yearbook") +
                            ". Remove it if it names the columns:";
        case CheckKind::BlankLine:
            return (fr ? std::string("Lignes vides (aucune valeur dans aucune colonne) : "
                                     "chacune ") +
                             (report.namesPages ? "fait quand même une page"
                                                : "ajoute quand même un bloc vide à l'annuaire")
                       : std::string("Blank lines (no value in any column): each still ") +
                             (report.namesPages ? "makes a page"
                                                : "adds an empty block to the yearbook")) +
                   counted(language, group.count);
        case CheckKind::ShortForModel: {
            std::string tag = number(group.first.front().needed - 1);
            return (fr ? "Lignes qui ont moins de colonnes que n'en demandent les tags du modèle "
                         "(jusqu'au tag " +
                             tag + ") ; leurs zones seraient vides"
                       : "Lines with fewer columns than the model's tags need (up to tag " + tag +
                             "); their regions would be empty") +
                   counted(language, group.count);
        }
        default:
            break;
    }
    for (const FixedHeading& fixed : kFixedHeadings) {
        if (fixed.kind == group.kind) {
            const std::string text = fr ? fixed.french : fixed.english;
            return fixed.counted ? text + counted(language, group.count) : text;
        }
    }
    return {};
}

// One finding under its heading; empty for the kinds whose heading says it all.
std::string findingText(CheckKind kind, const CheckFinding& f, Language language) {
    const bool fr = french(language);
    const std::string at = lineLabel(language, f.line);
    switch (kind) {
        case CheckKind::DataUtf16:
        case CheckKind::SeparatorMissing:
        case CheckKind::NoRegionMarkers:
        case CheckKind::ModelNoCharset:
            return {};
        case CheckKind::MarkerLookalike:
            return modelLineLabel(language, f.line) + colon(language) + shownExcerpt(f.text);
        case CheckKind::MarkupDropped:
            return modelLineLabel(language, f.line) + colon(language) + shownExcerpt(f.text) +
                   " (" + droppedReason(language, f.droppedBy) + ")";
        case CheckKind::DataNotUtf8:
        case CheckKind::DataUtf8ModelNot:
        case CheckKind::MaybeHeader:
            return at + colon(language) + shownExcerpt(f.text);
        case CheckKind::BlankLine:
            return f.text.empty() ? at : at + colon(language) + "page " + shownExcerpt(f.text);
        case CheckKind::ShortForName:
        case CheckKind::ShortForModel:
            return at + colon(language) + number(f.columns) + columnsWord(language, f.columns) +
                   (fr ? " sur " : " of ") + number(f.needed);
        case CheckKind::QuotedField: {
            if (f.needed == f.columns) {
                return at + (fr ? ", colonne " : ", column ") + number(f.columns) +
                       colon(language) + shownExcerpt(f.text);
            }
            return at + (fr ? ", colonnes " : ", columns ") + number(f.columns) +
                   (fr ? " à " : " to ") + number(f.needed) + colon(language) +
                   shownExcerpt(f.text) +
                   (fr ? " (coupé au séparateur : les colonnes suivantes sont décalées de "
                       : " (split at the separator: the later columns shift by ") +
                   number(f.needed - f.columns) + ")";
        }
        case CheckKind::RefusedName:
        case CheckKind::HiddenName:
            return at + colon(language) + shownExcerpt(f.text);
        case CheckKind::DuplicateName:
            return at + colon(language) + shownExcerpt(f.text) +
                   (fr ? ", déjà faite par la ligne " : ", already made by line ") +
                   number(f.earlierLine);
    }
    return {};
}

}  // namespace

std::string separatorWords(char separator, Language language) {
    if (separator == '\t') {
        return std::string(pick(language, "tabulation", "tab"));
    }
    return french(language) ? std::string("« ") + separator + " »"
                            : std::string("'") + separator + "'";
}

std::string shownExcerpt(std::string_view text, size_t limit) {
    std::string shown;
    size_t characters = 0;
    size_t i = 0;
    while (i < text.size()) {
        if (characters == limit) {
            shown += "...";
            break;
        }
        unsigned char c = static_cast<unsigned char>(text[i]);
        size_t length = utf8SequenceLength(text.substr(i));
        if (length == 0 || c < 0x20 || c == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            shown += escaped;
            ++i;
        } else {
            shown.append(text.substr(i, length));
            i += length;
        }
        ++characters;
    }
    return shown;
}

std::vector<std::string> checkGroupLines(const CheckGroup& group, const CheckReport& report,
                                         Language language) {
    std::vector<std::string> lines{heading(group, report, language)};
    for (const CheckFinding& finding : group.first) {
        std::string text = findingText(group.kind, finding, language);
        if (!text.empty()) {
            lines.push_back("  " + text);
        }
    }
    if (lines.size() > 1 && group.count > group.first.size()) {
        const std::string more = number(group.count - group.first.size());
        lines.push_back(french(language)
                            ? "  et " + more + " de plus (" + number(group.count) + " en tout)"
                            : "  and " + more + " more (" + number(group.count) + " in all)");
    }
    return lines;
}

std::vector<std::string> checkReportLines(const CheckReport& report, Language language) {
    std::vector<std::string> lines;
    for (const CheckGroup& group : report.groups) {
        std::vector<std::string> some = checkGroupLines(group, report, language);
        lines.insert(lines.end(), some.begin(), some.end());
    }
    return lines;
}

std::string checkClosingLine(const CheckReport& report, Language language) {
    const uint64_t kinds = report.groups.size();
    std::string text = number(report.dataLines);
    if (french(language)) {
        text += report.dataLines <= 1 ? " ligne vérifiée : " : " lignes vérifiées : ";
        text += kinds == 0 ? "rien à signaler."
                           : number(kinds) + (kinds == 1 ? " sorte d'avertissement."
                                                         : " sortes d'avertissement.");
    } else {
        text += report.dataLines == 1 ? " line checked: " : " lines checked: ";
        text += kinds == 0
                    ? "nothing to report."
                    : number(kinds) + (kinds == 1 ? " kind of warning." : " kinds of warning.");
    }
    return text;
}

}  // namespace pw
