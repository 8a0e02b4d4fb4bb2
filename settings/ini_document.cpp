#include "settings/ini_document.h"

#include "settings/text_encoding.h"

namespace pw {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kCrLf = "\r\n";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool hasLineEnd(std::string_view text) {
    return text.find_first_of("\r\n") != text.npos;
}

}  // namespace

std::string_view trimBlanks(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

IniDocument IniDocument::parse(std::string_view bytes) {
    IniDocument document;
    std::string decoded;
    if (isValidUtf8(bytes)) {
        if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
            document.m_bom = kUtf8Bom;
            bytes.remove_prefix(kUtf8Bom.size());
        }
    } else {
        document.m_windows1252 = true;
        decoded = windows1252ToUtf8(bytes);
        bytes = decoded;
    }

    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t stop = bytes.find_first_of("\r\n", start);
        Line line;
        if (stop == bytes.npos) {
            line.text = bytes.substr(start);
            start = bytes.size();
        } else {
            line.text = bytes.substr(start, stop - start);
            const bool crLf =
                bytes[stop] == '\r' && stop + 1 < bytes.size() && bytes[stop + 1] == '\n';
            line.end = bytes.substr(stop, crLf ? 2 : 1);
            start = stop + line.end.size();
        }
        classify(line);
        document.m_lines.push_back(std::move(line));
    }
    return document;
}

void IniDocument::classify(Line& line) {
    line.kind = Kind::Other;
    line.name.clear();
    line.valueStart = 0;
    const std::string_view text = trimBlanks(line.text);
    if (text.empty() || text.front() == ';') {
        return;
    }
    if (text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close != text.npos) {
            line.kind = Kind::Section;
            line.name = trimBlanks(text.substr(1, close - 1));
        }
        return;
    }
    const std::size_t equals = line.text.find('=');
    if (equals != line.text.npos) {
        line.kind = Kind::Key;
        line.name = trimBlanks(std::string_view(line.text).substr(0, equals));
        line.valueStart = equals + 1;
    }
}

std::optional<std::size_t> IniDocument::findSection(std::string_view section) const {
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == Kind::Section && equalsIgnoringAsciiCase(m_lines[i].name, section)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> IniDocument::findKey(std::size_t header, std::string_view key,
                                                std::size_t* lastKeyLine) const {
    std::optional<std::size_t> found;
    std::size_t last = header;
    for (std::size_t i = header + 1; i < m_lines.size() && m_lines[i].kind != Kind::Section; ++i) {
        if (m_lines[i].kind != Kind::Key) {
            continue;
        }
        last = i;
        if (!found && equalsIgnoringAsciiCase(m_lines[i].name, key)) {
            found = i;
            if (lastKeyLine == nullptr) {
                break;
            }
        }
    }
    if (lastKeyLine != nullptr) {
        *lastKeyLine = last;
    }
    return found;
}

std::optional<std::string_view> IniDocument::rawValue(std::string_view section,
                                                      std::string_view key) const {
    const std::string_view wantedKey = trimBlanks(key);
    const auto header = findSection(trimBlanks(section));
    if (!header) {
        return std::nullopt;
    }
    const auto line = findKey(*header, wantedKey, nullptr);
    if (!line) {
        return std::nullopt;
    }
    return std::string_view(m_lines[*line].text).substr(m_lines[*line].valueStart);
}

std::string IniDocument::read(std::string_view section, std::string_view key,
                              std::string_view defaultValue, std::size_t limit) const {
    const auto raw = rawValue(section, key);
    if (!raw) {
        std::string_view value = defaultValue;
        while (!value.empty() && isBlank(value.back())) {
            value.remove_suffix(1);
        }
        return std::string(firstCharacters(value, limit));
    }
    std::string_view value = trimBlanks(*raw);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(firstCharacters(value, limit));
}

void IniDocument::insertLine(std::size_t position, std::string text) {
    if (position > 0 && m_lines[position - 1].end.empty()) {
        m_lines[position - 1].end = kCrLf;
    }
    Line line;
    line.text = std::move(text);
    line.end = kCrLf;
    classify(line);
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(position), std::move(line));
}

Status IniDocument::write(std::string_view section, std::string_view key, std::string_view value) {
    const std::string_view sectionName = trimBlanks(section);
    const std::string_view keyName = trimBlanks(key);
    if (sectionName.empty() || hasLineEnd(section) || section.find(']') != section.npos) {
        return Status::invalidArgument("section name cannot be stored: " + std::string(section));
    }
    if (keyName.empty() || hasLineEnd(key) || key.find('=') != key.npos || keyName.front() == '[' ||
        keyName.front() == ';') {
        return Status::invalidArgument("key name cannot be stored: " + std::string(key));
    }
    if (!isValidUtf8(section) || !isValidUtf8(key) || !isValidUtf8(value)) {
        return Status::invalidArgument("names and values are stored as UTF-8: " + std::string(key));
    }
    if (hasLineEnd(value)) {
        return Status::invalidArgument("a value cannot hold a line end: " + std::string(key));
    }

    const auto header = findSection(sectionName);
    if (!header) {
        insertLine(m_lines.size(), "[" + std::string(section) + "]");
        insertLine(m_lines.size(), std::string(key) + "=" + std::string(value));
        return Status();
    }
    std::size_t lastKeyLine = *header;
    const auto found = findKey(*header, keyName, &lastKeyLine);
    if (found) {
        Line& line = m_lines[*found];
        line.text.resize(line.valueStart);
        line.text.append(value);
        line.end = kCrLf;
        return Status();
    }
    insertLine(lastKeyLine + 1, std::string(key) + "=" + std::string(value));
    return Status();
}

std::string IniDocument::serialize() const {
    std::size_t size = m_bom.size();
    for (const Line& line : m_lines) {
        size += line.text.size() + line.end.size();
    }
    std::string out;
    out.reserve(size);
    out += m_bom;
    for (const Line& line : m_lines) {
        out += line.text;
        out += line.end;
    }
    return out;
}

}  // namespace pw
