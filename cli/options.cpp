#include "cli/options.h"

#include <map>

#include "engine/separators.h"

namespace pw::cli {

using Command = Options::Command;

std::optional<std::string> tagChoice(const std::string& text, int maxTag) {
    std::string digits = text;
    const std::string item = "Tag N°";
    if (digits.rfind(item, 0) == 0) {
        digits = digits.substr(item.size());
    }
    if (digits.empty() || digits.size() > 3) {
        return std::nullopt;
    }
    for (char c : digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
    }
    int number = std::stoi(digits);
    if (number > maxTag) {
        return std::nullopt;
    }
    return item + std::to_string(number);
}

std::optional<char> separatorChoice(const std::string& text) {
    if (text == "tab" || text == "\t") {
        return '\t';
    }
    if (text.size() == 1 && separatorIndex(text[0])) {
        return text[0];
    }
    return std::nullopt;
}

const char* commandName(Command command) {
    switch (command) {
        case Command::Check:
            return "check";
        case Command::Pages:
            return "pages";
        case Command::Links:
            return "links";
        case Command::Index:
            return "index";
        case Command::Yearbook:
            return "yearbook";
        default:
            return "";
    }
}

namespace {

// Which options each command takes.
const std::map<std::string, std::vector<Command>>& optionTable() {
    static const std::map<std::string, std::vector<Command>> table = {
        {"--data", {Command::Check, Command::Pages, Command::Yearbook}},
        {"--model", {Command::Check, Command::Pages, Command::Yearbook}},
        {"--dest", {Command::Check, Command::Pages, Command::Index, Command::Yearbook}},
        {"--separator", {Command::Check, Command::Pages, Command::Yearbook}},
        {"--name-tags", {Command::Check, Command::Pages}},
        {"--title-tag", {Command::Check, Command::Pages}},
        {"--dir", {Command::Links}},
        {"--link-tag", {Command::Links}},
        {"--text-tag", {Command::Links, Command::Index}},
        {"--prefix", {Command::Links}},
        {"--source", {Command::Index}},
        {"--criterion-tag", {Command::Index}},
        {"--lang",
         {Command::Check, Command::Pages, Command::Links, Command::Index, Command::Yearbook}},
    };
    return table;
}

const std::map<std::string, Command>& commandTable() {
    static const std::map<std::string, Command> commands = {
        {"check", Command::Check}, {"pages", Command::Pages},       {"links", Command::Links},
        {"index", Command::Index}, {"yearbook", Command::Yearbook},
    };
    return commands;
}

bool fail(UsageError& error, std::string french, std::string english) {
    error = UsageError{std::move(french), std::move(english)};
    return false;
}

bool setOption(Options& o, const std::string& name, const std::string& value, UsageError& error) {
    auto tag = [&](std::optional<std::string>& field, int maxTag) {
        auto choice = tagChoice(value, maxTag);
        if (!choice) {
            return fail(
                error,
                name + " : '" + value + "' n'est pas un tag de 0 à " + std::to_string(maxTag),
                name + ": '" + value + "' is not a tag from 0 to " + std::to_string(maxTag));
        }
        field = *choice;
        return true;
    };
    if (name == "--data") {
        o.data = value;
    } else if (name == "--model") {
        o.model = value;
    } else if (name == "--dest") {
        o.dest = value;
    } else if (name == "--dir") {
        o.dir = value;
    } else if (name == "--source") {
        o.source = value;
    } else if (name == "--prefix") {
        o.prefix = value;
    } else if (name == "--separator") {
        o.separator = separatorChoice(value);
        if (!o.separator) {
            return fail(error, "--separator prend l'un de ; | , : # & $ ou tab",
                        "--separator takes one of ; | , : # & $ or tab");
        }
    } else if (name == "--lang") {
        if (value != "fr" && value != "en") {
            return fail(error, "--lang prend fr ou en", "--lang takes fr or en");
        }
        o.lang = value;
    } else if (name == "--link-tag") {
        return tag(o.linkTag, 100);
    } else if (name == "--text-tag") {
        return tag(o.textTag, 100);
    } else if (name == "--criterion-tag") {
        return tag(o.criterionTag, 100);
    } else if (name == "--title-tag") {
        if (value == "second") {
            o.titleTag = std::string();
            return true;
        }
        return tag(o.titleTag, 98);
    } else if (name == "--name-tags") {
        if (value == "first") {
            o.nameFromFirstColumn = true;
            o.nameTags.reset();
            return true;
        }
        std::vector<std::string> tags;
        size_t start = 0;
        for (;;) {
            size_t comma = value.find(',', start);
            std::string part =
                value.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
            if (part.empty()) {
                tags.emplace_back();
            } else {
                auto choice = tagChoice(part, 98);
                if (!choice) {
                    return fail(error, "--name-tags : '" + part + "' n'est pas un tag de 0 à 98",
                                "--name-tags: '" + part + "' is not a tag from 0 to 98");
                }
                tags.push_back(*choice);
            }
            if (comma == std::string::npos) {
                break;
            }
            start = comma + 1;
        }
        if (tags.size() > 4) {
            return fail(error, "--name-tags prend au plus quatre tags",
                        "--name-tags takes at most four tags");
        }
        tags.resize(4);
        if (tags[0].empty()) {
            return fail(error, "--name-tags demande son premier tag",
                        "--name-tags needs its first tag");
        }
        o.nameTags = tags;
        o.nameFromFirstColumn = false;
    }
    return true;
}

bool isHelp(const std::string& arg) {
    return arg == "--help" || arg == "-h";
}

// "--lang X" or "--lang=X" anywhere in `args`, for a help asked for on a line that may hold
// anything else.
void findLanguage(const std::vector<std::string>& args, Options& o) {
    for (size_t i = 0; i < args.size(); ++i) {
        std::string value;
        if (args[i] == "--lang" && i + 1 < args.size()) {
            value = args[i + 1];
        } else if (args[i].rfind("--lang=", 0) == 0) {
            value = args[i].substr(7);
        }
        if (value == "fr" || value == "en") {
            o.lang = value;
        }
    }
}

// The help or version asked for before any command: "--help [COMMAND]", "--version".
std::optional<Options> parseLeadingHelp(const std::vector<std::string>& args, UsageError& error) {
    Options o;
    findLanguage(args, o);
    o.command = isHelp(args[0]) ? Command::Help : Command::Version;
    for (size_t i = 1; i < args.size(); ++i) {
        auto command = commandTable().find(args[i]);
        if (o.command == Command::Help && command != commandTable().end()) {
            o.helpTopic = command->second;
        } else if (args[i] == "--lang" && i + 1 < args.size()) {
            ++i;
        } else if (args[i].rfind("--lang=", 0) != 0) {
            fail(error, args[0] + " ne prend pas '" + args[i] + "'",
                 args[0] + " does not take '" + args[i] + "'");
            return std::nullopt;
        }
    }
    return o;
}

}  // namespace

std::optional<std::string> languageOption(const std::vector<std::string>& args) {
    Options o;
    findLanguage(args, o);
    return o.lang;
}

std::optional<Options> parseOptions(const std::vector<std::string>& args, UsageError& error) {
    Options o;
    if (args.empty()) {
        fail(error, "il faut une commande", "a command is needed");
        return std::nullopt;
    }
    if (isHelp(args[0]) || args[0] == "--version" || args[0] == "-V") {
        return parseLeadingHelp(args, error);
    }
    auto found = commandTable().find(args[0]);
    if (found == commandTable().end()) {
        fail(error, "commande inconnue '" + args[0] + "'", "unknown command '" + args[0] + "'");
        return std::nullopt;
    }
    o.command = found->second;
    for (size_t i = 1; i < args.size(); ++i) {
        if (isHelp(args[i])) {
            Options help;
            findLanguage(args, help);
            help.command = Command::Help;
            help.helpTopic = o.command;
            return help;
        }
    }
    for (size_t i = 1; i < args.size(); ++i) {
        std::string name = args[i];
        if (name == "--quiet" || name == "-q") {
            o.quiet = true;
            continue;
        }
        if (name == "--dry-run") {
            if (o.command == Command::Check) {
                fail(error, name + " ne va pas avec " + args[0],
                     name + " does not go with " + args[0]);
                return std::nullopt;
            }
            o.dryRun = true;
            continue;
        }
        std::string value;
        size_t equals = name.find('=');
        bool inlineValue = name.rfind("--", 0) == 0 && equals != std::string::npos;
        if (inlineValue) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
        }
        auto option = optionTable().find(name);
        if (option == optionTable().end()) {
            fail(error, "option inconnue '" + name + "'", "unknown option '" + name + "'");
            return std::nullopt;
        }
        bool allowed = false;
        for (Command c : option->second) {
            allowed = allowed || c == o.command;
        }
        if (!allowed) {
            fail(error, name + " ne va pas avec " + args[0], name + " does not go with " + args[0]);
            return std::nullopt;
        }
        if (!inlineValue) {
            if (i + 1 >= args.size()) {
                fail(error, name + " demande une valeur", name + " needs a value");
                return std::nullopt;
            }
            value = args[++i];
        }
        if (!setOption(o, name, value, error)) {
            return std::nullopt;
        }
    }
    return o;
}

}  // namespace pw::cli
