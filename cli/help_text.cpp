#include "cli/help_text.h"

#include "pagewright_version.h"

#include <vector>

namespace pw::cli {

namespace {

using Command = Options::Command;

struct Text {
    const char* french;
    const char* english;
    std::string in(Language language) const {
        return language == Language::French ? french : english;
    }
};

// One option as the help lists it: its form, what it does, its default.
struct OptionHelp {
    const char* form;
    std::vector<Command> commands;
    Text what;
};

const std::vector<OptionHelp>& optionHelp() {
    static const std::vector<OptionHelp> options = {
        {"--data FILE",
         {Command::Check, Command::Pages},
         {"le fichier de données, une fiche par ligne (défaut : le fichier de données d'exemple)",
          "the data file, one record per line (default: the sample data file)"}},
        {"--data FILE",
         {Command::Yearbook},
         {"le fichier de données, un bloc par ligne (défaut : les données d'annuaire d'exemple)",
          "the data file, one block per line (default: the sample yearbook data)"}},
        {"--model FILE",
         {Command::Check, Command::Pages},
         {"le modèle HTML (défaut : le modèle d'exemple)",
          "the HTML model (default: the sample model)"}},
        {"--model FILE",
         {Command::Yearbook},
         {"le modèle de l'annuaire (défaut : le modèle d'annuaire d'exemple)",
          "the yearbook model (default: the sample yearbook model)"}},
        {"--dest DIR",
         {Command::Pages, Command::Index, Command::Yearbook},
         {"où vont les pages ; créé s'il manque et que son parent existe (défaut : "
          "~/Pagewright/)",
          "where the pages go; created when missing and its parent exists (default: "
          "~/Pagewright/)"}},
        {"--dest DIR",
         {Command::Check},
         {"où iraient les pages (défaut : ~/Pagewright/)",
          "where the pages would go (default: ~/Pagewright/)"}},
        {"--dry-run",
         {Command::Pages, Command::Links, Command::Index, Command::Yearbook},
         {"fait toute la passe sans rien écrire, puis donne son bilan",
          "does the whole run without writing anything, then prints its summary"}},
        {"--separator C",
         {Command::Check, Command::Pages, Command::Yearbook},
         {"le séparateur des colonnes : ; | , : # & $ ou tab (défaut : ;)",
          "the column separator: ; | , : # & $ or tab (default: ;)"}},
        {"--name-tags T0,T1,T2,T3",
         {Command::Check, Command::Pages},
         {"nomme chaque page des colonnes de ces tags jointes par _ (les vides sont sautés : "
          "1,0,,2)",
          "names each page from the columns of these tags joined by _ (empty ones are skipped: "
          "1,0,,2)"}},
        {"--name-tags first",
         {Command::Check, Command::Pages},
         {"nomme chaque page de la première colonne (défaut)",
          "names each page from the first column (default)"}},
        {"--title-tag T",
         {Command::Check, Command::Pages},
         {"prend le titre de la colonne du tag T", "takes the title from the column of tag T"}},
        {"--title-tag second",
         {Command::Check, Command::Pages},
         {"prend le titre de la deuxième colonne (défaut)",
          "takes the title from the second column (default)"}},
        {"--dir DIR",
         {Command::Links},
         {"le répertoire des pages à relier (défaut : ~/Pagewright/)",
          "the directory of the pages to link (default: ~/Pagewright/)"}},
        {"--link-tag T",
         {Command::Links},
         {"relie les pages dont ce tag a la même valeur (défaut : 2)",
          "links the pages whose value of this tag is the same (default: 2)"}},
        {"--text-tag T",
         {Command::Links},
         {"le tag dont la valeur est le texte de chaque lien (défaut : 3)",
          "the tag whose value is the text of each link (default: 3)"}},
        {"--prefix HTML",
         {Command::Links},
         {"du HTML écrit avant chaque lien (défaut : rien)",
          "HTML written before every link (default: nothing)"}},
        {"--source DIR",
         {Command::Index},
         {"le répertoire des pages à indexer (défaut : ~/Pagewright/)",
          "the directory of the pages to index (default: ~/Pagewright/)"}},
        {"--criterion-tag T",
         {Command::Index},
         {"une page d'index par valeur de ce tag (défaut : 2)",
          "one index page per value of this tag (default: 2)"}},
        {"--text-tag T",
         {Command::Index},
         {"le tag dont la valeur est le texte de chaque entrée (défaut : 3)",
          "the tag whose value is the text of each entry (default: 3)"}},
    };
    return options;
}

struct CommandHelp {
    Command command;
    Text what;
    const char* example;
};

const std::vector<CommandHelp>& commandHelp() {
    static const std::vector<CommandHelp> commands = {
        {Command::Check,
         {"lit le fichier de données et le modèle et signale, ligne par ligne, ce qu'une passe "
          "des pages ferait autrement qu'attendu ; n'écrit rien",
          "reads the data file and the model and reports, line by line, what a pages run would "
          "do other than expected; writes nothing"},
         "pagewright-cli check --data shop.txt --model product.htm --separator tab"},
        {Command::Pages,
         {"écrit une page HTML par ligne du fichier de données, faite à partir du modèle ; une "
          "page qui existe garde tout ce qui est hors de ses zones marquées",
          "writes one HTML page per line of the data file, made from the model; a page that "
          "exists keeps everything outside its tagged regions"},
         "pagewright-cli pages --data shop.txt --model product.htm --dest site/ --name-tags 1,0 "
         "--title-tag 3"},
        {Command::Links,
         {"relie entre elles les pages d'un répertoire qui partagent la valeur d'un tag",
          "cross-links the pages of a directory that share the value of a tag"},
         "pagewright-cli links --dir site/ --link-tag 2 --text-tag 3"},
        {Command::Index,
         {"écrit une page d'index par valeur d'un tag de critère, qui liste les pages qui l'ont",
          "writes one index page per value of a criterion tag, listing the pages that have it"},
         "pagewright-cli index --source site/ --dest site/ --criterion-tag 2 --text-tag 3"},
        {Command::Yearbook,
         {"écrit une seule page, Index_One_Page.htm, avec un bloc par ligne d'un fichier de "
          "données",
          "writes one page, Index_One_Page.htm, with a block per line of a data file"},
         "pagewright-cli yearbook --data staff.txt --model yearbook.htm --dest site/"},
    };
    return commands;
}

const Text kExitStatus{
    "Code de sortie :\n"
    "  0    terminé : chaque fichier écrit ou laissé tel quel (check : rien à signaler)\n"
    "  1    entrées refusées ou illisibles (le message nomme le fichier)\n"
    "  2    mauvais usage\n"
    "  3    terminé, mais des fichiers n'ont pas été écrits (chacun est listé sur la sortie "
    "d'erreur)\n"
    "  4    check a trouvé quelque chose à signaler\n"
    "  130  arrêté par Ctrl-C (les pages déjà écrites sont entières)\n",
    "Exit status:\n"
    "  0    done: every file written or left unchanged (check: nothing to report)\n"
    "  1    the inputs were refused or could not be read (the message names the file)\n"
    "  2    bad usage\n"
    "  3    done, but some files were not written (each is listed on standard error)\n"
    "  4    check found something to report\n"
    "  130  stopped by Ctrl-C (the pages already written are whole)\n"};

// The options every command takes.
const std::vector<std::pair<const char*, Text>>& commonOptions() {
    static const std::vector<std::pair<const char*, Text>> options = {
        {"--lang fr|en",
         {"la langue des messages (défaut : celle de la fenêtre, sinon la locale)",
          "the language of the messages (default: the window's, else the locale)"}},
        {"--quiet, -q",
         {"ni avertissements ni barre de progression : erreurs et bilan seulement",
          "no warnings and no progress bar: errors and the summary only"}},
        {"--help, -h", {"cette aide", "this help"}},
    };
    return options;
}

const Text kStored{
    "Une option omise prend le dernier choix de la fenêtre dans le fichier de réglages, sinon "
    "son défaut ;\nla ligne de commande n'écrit jamais ce fichier. Un tag T est un nombre (2) ou "
    "un article de liste (Tag N°2).\n",
    "An option left out takes the window's last choice from the settings file, else its "
    "default; the\ncommand line never writes that file. A tag T is a number (2) or a tag-list "
    "item (Tag N°2).\n"};

constexpr size_t kFormWidth = 24;

std::string pad(std::string text, size_t width = kFormWidth) {
    // Option forms are ASCII, so bytes are columns.
    if (text.size() < width) {
        text.append(width - text.size(), ' ');
    } else {
        text += ' ';
    }
    return text;
}

std::string commonOptionLines(Language language) {
    std::string text;
    for (const auto& [form, what] : commonOptions()) {
        text += "  " + pad(form) + what.in(language) + "\n";
    }
    return text;
}

std::string wholeHelp(Language language) {
    const bool fr = language == Language::French;
    std::string text = fr ? "pagewright-cli : les passes de Pagewright sans fenêtre.\n\n"
                            "Usage : pagewright-cli COMMANDE [options]\n"
                            "        pagewright-cli COMMANDE --help    les options de COMMANDE\n"
                            "        pagewright-cli --help | --version\n\nCommandes :\n"
                          : "pagewright-cli: Pagewright's runs without a window.\n\n"
                            "Usage: pagewright-cli COMMAND [options]\n"
                            "       pagewright-cli COMMAND --help    the options of COMMAND\n"
                            "       pagewright-cli --help | --version\n\nCommands:\n";
    for (const CommandHelp& command : commandHelp()) {
        text += "  " + pad(commandName(command.command), 10) + command.what.in(language) + "\n";
    }
    text += fr ? "\nOptions de toutes les commandes :\n" : "\nOptions of every command:\n";
    text += commonOptionLines(language);
    text += "  " + pad("--version, -V") + (fr ? "la version\n\n" : "the version\n\n");
    text += kStored.in(language);
    text += '\n';
    text += kExitStatus.in(language);
    text += fr ? "\nExemple : vérifier les données, puis les pages, les liens et l'index, dans cet "
                 "ordre\n"
               : "\nExample: check the data, then make the pages, the links and the index, in "
                 "this order\n";
    text +=
        "  pagewright-cli check --data shop.txt --model product.htm\n"
        "  pagewright-cli pages --data shop.txt --model product.htm --dest site/\n"
        "  pagewright-cli links --dir site/ --link-tag 2 --text-tag 3\n"
        "  pagewright-cli index --source site/ --dest site/ --criterion-tag 2 --text-tag 3\n";
    return text;
}

std::string commandPart(Language language, const CommandHelp& command) {
    const bool fr = language == Language::French;
    const std::string name = commandName(command.command);
    std::string text = "pagewright-cli " + name + (fr ? " : " : ": ") + command.what.in(language) +
                       ".\n\n" + (fr ? "Usage : " : "Usage: ") + "pagewright-cli " + name +
                       " [options]\n\nOptions :\n";
    if (!fr) {
        text.replace(text.rfind("Options :"), 9, "Options:");
    }
    for (const OptionHelp& option : optionHelp()) {
        for (Command c : option.commands) {
            if (c == command.command) {
                text += "  " + pad(option.form) + option.what.in(language) + "\n";
            }
        }
    }
    text += commonOptionLines(language);
    text += '\n';
    text += kStored.in(language);
    if (command.command == Command::Check) {
        text += fr ? "\nCode de sortie : 0 rien à signaler, 4 des avertissements, 1 fichier "
                     "illisible, 2 mauvais usage.\n"
                   : "\nExit status: 0 nothing to report, 4 warnings, 1 a file could not be read, "
                     "2 bad usage.\n";
    } else {
        text += '\n';
        text += kExitStatus.in(language);
    }
    text += (fr ? "\nExemple :\n  " : "\nExample:\n  ") + std::string(command.example) + "\n";
    return text;
}

}  // namespace

std::string helpText(Language language, Command topic) {
    for (const CommandHelp& command : commandHelp()) {
        if (command.command == topic) {
            return commandPart(language, command);
        }
    }
    return wholeHelp(language);
}

std::string usageHint(Language language) {
    return language == Language::French
               ? "Usage : pagewright-cli check|pages|links|index|yearbook [options]\n"
                 "Voir : pagewright-cli --help\n"
               : "Usage: pagewright-cli check|pages|links|index|yearbook [options]\n"
                 "See: pagewright-cli --help\n";
}

const char* versionLine() {
    return "pagewright-cli " PAGEWRIGHT_VERSION;
}

}  // namespace pw::cli
