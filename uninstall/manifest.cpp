#include "uninstall/manifest.h"

#include "fs/line_reader.h"

namespace pw {

namespace {

std::vector<std::string_view> partsOf(std::string_view path) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string_view::npos) {
            end = path.size();
        }
        parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// A path below the prefix: relative, every part a plain name.
bool isBelowPrefix(std::string_view path) {
    if (path.empty() || path.front() == '/') {
        return false;
    }
    for (std::string_view part : partsOf(path)) {
        if (part.empty() || part == "." || part == "..") {
            return false;
        }
    }
    return true;
}

// "." or "..", "../..": the prefix or one of its parents.
bool isPrefixOrParent(std::string_view path) {
    if (path == ".") {
        return true;
    }
    for (std::string_view part : partsOf(path)) {
        if (part != "..") {
            return false;
        }
    }
    return true;
}

}  // namespace

Manifest parseManifest(std::string_view text) {
    Manifest manifest;
    LineReader lines = LineReader::fromMemory(text);
    std::string_view line;
    while (lines.next(line)) {
        size_t tab = line.find('\t');
        if (tab == std::string_view::npos) {
            continue;
        }
        std::string_view kind = line.substr(0, tab);
        std::string value(line.substr(tab + 1));
        if (kind == "program") {
            manifest.program = value;
        } else if (kind == "uninstall") {
            manifest.uninstallCommand = value;
        } else if (kind == "file" && isBelowPrefix(value)) {
            manifest.files.push_back(value);
        } else if (kind == "dir" && (isBelowPrefix(value) || isPrefixOrParent(value))) {
            manifest.dirs.push_back(value);
        }
    }
    return manifest;
}

}  // namespace pw
