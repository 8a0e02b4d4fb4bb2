#include "cli/options.h"

#include <map>

namespace pw::cli {

const char* usageText() {
    return "Usage:\n"
           "  pagewright-cli pages    [--data FILE] [--model FILE] [--dest DIR] [--separator C]\n"
           "                          [--name-tags T0,T1,T2,T3|first] [--title-tag T|second]\n"
           "                          [--lang fr|en] [--quiet]\n"
           "  pagewright-cli links    [--dir DIR] [--link-tag T] [--text-tag T] [--prefix HTML]\n"
           "                          [--lang fr|en] [--quiet]\n"
           "  pagewright-cli index    [--source DIR] [--dest DIR] [--criterion-tag T] [--text-tag "
           "T]\n"
           "                          [--lang fr|en] [--quiet]\n"
           "  pagewright-cli yearbook [--data FILE] [--model FILE] [--dest DIR] [--separator C]\n"
           "                          [--lang fr|en] [--quiet]\n"
           "  pagewright-cli --help | --version\n"
           "\n"
           "A tag T is a number (2) or a tag-list item (Tag N°2). Options left out take the\n"
           "choices stored by the window in the settings file, or their defaults.\n"
           "Exit status: 0 completed, 1 inputs refused, 2 bad usage, 130 stopped by Ctrl-C.\n";
}

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

namespace {

using Command = Options::Command;

// Which options each command takes.
const std::map<std::string, std::vector<Command>>& optionTable() {
    static const std::map<std::string, std::vector<Command>> table = {
        {"--data", {Command::Pages, Command::Yearbook}},
        {"--model", {Command::Pages, Command::Yearbook}},
        {"--dest", {Command::Pages, Command::Index, Command::Yearbook}},
        {"--separator", {Command::Pages, Command::Yearbook}},
        {"--name-tags", {Command::Pages}},
        {"--title-tag", {Command::Pages}},
        {"--dir", {Command::Links}},
        {"--link-tag", {Command::Links}},
        {"--text-tag", {Command::Links, Command::Index}},
        {"--prefix", {Command::Links}},
        {"--source", {Command::Index}},
        {"--criterion-tag", {Command::Index}},
        {"--lang", {Command::Pages, Command::Links, Command::Index, Command::Yearbook}},
    };
    return table;
}

bool setOption(Options& o, const std::string& name, const std::string& value, std::string& error) {
    auto tag = [&](std::optional<std::string>& field, int maxTag) {
        auto choice = tagChoice(value, maxTag);
        if (!choice) {
            error = name + ": '" + value + "' is not a tag from 0 to " + std::to_string(maxTag);
            return false;
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
        if (value.size() != 1 || value[0] == '\r' || value[0] == '\n') {
            error = "--separator takes one character";
            return false;
        }
        o.separator = value[0];
    } else if (name == "--lang") {
        if (value != "fr" && value != "en") {
            error = "--lang takes fr or en";
            return false;
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
                    error = "--name-tags: '" + part + "' is not a tag from 0 to 98";
                    return false;
                }
                tags.push_back(*choice);
            }
            if (comma == std::string::npos) {
                break;
            }
            start = comma + 1;
        }
        if (tags.size() > 4) {
            error = "--name-tags takes at most four tags";
            return false;
        }
        tags.resize(4);
        if (tags[0].empty()) {
            error = "--name-tags needs its first tag";
            return false;
        }
        o.nameTags = tags;
        o.nameFromFirstColumn = false;
    }
    return true;
}

}  // namespace

std::optional<Options> parseOptions(const std::vector<std::string>& args, std::string& error) {
    Options o;
    if (args.empty()) {
        error = "a command is needed";
        return std::nullopt;
    }
    static const std::map<std::string, Command> commands = {
        {"pages", Command::Pages},       {"links", Command::Links}, {"index", Command::Index},
        {"yearbook", Command::Yearbook}, {"--help", Command::Help}, {"-h", Command::Help},
        {"--version", Command::Version}};
    auto found = commands.find(args[0]);
    if (found == commands.end()) {
        error = "unknown command '" + args[0] + "'";
        return std::nullopt;
    }
    o.command = found->second;
    if (o.command == Command::Help || o.command == Command::Version) {
        if (args.size() > 1) {
            error = args[0] + " takes no arguments";
            return std::nullopt;
        }
        return o;
    }
    for (size_t i = 1; i < args.size(); ++i) {
        std::string name = args[i];
        if (name == "--help" || name == "-h") {
            o.command = Command::Help;
            return o;
        }
        if (name == "--quiet" || name == "-q") {
            o.quiet = true;
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
            error = "unknown option '" + name + "'";
            return std::nullopt;
        }
        bool allowed = false;
        for (Command c : option->second) {
            allowed = allowed || c == o.command;
        }
        if (!allowed) {
            error = name + " does not go with " + args[0];
            return std::nullopt;
        }
        if (!inlineValue) {
            if (i + 1 >= args.size()) {
                error = name + " needs a value";
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
