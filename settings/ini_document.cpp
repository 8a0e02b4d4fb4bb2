#include "settings/ini_document.h"

#include <algorithm>

#include "engine/utf8.h"
#include "settings/text_encoding.h"

namespace pw {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleEndianBom = "\xFF\xFE";
constexpr std::string_view kUtf16BigEndianBom = "\xFE\xFF";
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
    if (bytes.substr(0, 2) == kUtf16LittleEndianBom) {
        document.m_encoding = Encoding::Utf16LittleEndian;
    } else if (bytes.substr(0, 2) == kUtf16BigEndianBom) {
        document.m_encoding = Encoding::Utf16BigEndian;
    }
    const std::size_t unit = document.m_encoding == Encoding::EightBit ? 1 : 2;
    const bool bigEndian = document.m_encoding == Encoding::Utf16BigEndian;
    if (unit == 2) {
        document.m_bom = bytes.substr(0, 2);
    } else if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        document.m_bom = kUtf8Bom;
    }
    bytes.remove_prefix(document.m_bom.size());
    // The character of the code unit at `i`: a byte, or a UTF-16 unit (an odd last byte counts
    // as a character that ends no line).
    const auto at = [&](std::size_t i) -> unsigned {
        const auto a = static_cast<unsigned char>(bytes[i]);
        if (unit == 1) {
            return a;
        }
        if (i + 1 >= bytes.size()) {
            return 0xFFFF;
        }
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (a << 8 | b) : (b << 8 | a);
    };
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t stop = start;
        while (stop < bytes.size() && at(stop) != '\r' && at(stop) != '\n') {
            stop += unit;
        }
        stop = std::min(stop, bytes.size());
        Line line;
        std::size_t next = stop;
        if (stop < bytes.size()) {
            const bool crLf =
                at(stop) == '\r' && stop + unit < bytes.size() && at(stop + unit) == '\n';
            line.end = crLf ? "\r\n" : (at(stop) == '\r' ? "\r" : "\n");
            next = stop + unit * line.end.size();
        }
        const std::string_view content = bytes.substr(start, stop - start);
        if (unit == 2) {
            line.text = utf16ToUtf8(content, bigEndian);
        } else if (isWellFormedUtf8(content)) {
            line.text = content;
        } else {
            line.text = windows1252ToUtf8(content);
        }
        line.raw = bytes.substr(start, next - start);
        classify(line);
        document.m_lines.push_back(std::move(line));
        start = next;
    }
    return document;
}

std::string IniDocument::encoded(std::string_view text) const {
    if (m_encoding == Encoding::EightBit) {
        return std::string(text);
    }
    return utf8ToUtf16(text, m_encoding == Encoding::Utf16BigEndian);
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
        // The last line gets a line end; its own bytes stay.
        m_lines[position - 1].end = kCrLf;
        m_lines[position - 1].raw += encoded(kCrLf);
    }
    Line line;
    line.text = std::move(text);
    line.end = kCrLf;
    line.changed = true;
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
    if (!isWellFormedUtf8(section) || !isWellFormedUtf8(key) || !isWellFormedUtf8(value)) {
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
        line.changed = true;
        return Status();
    }
    insertLine(lastKeyLine + 1, std::string(key) + "=" + std::string(value));
    return Status();
}

std::string IniDocument::serialize() const {
    std::size_t size = m_bom.size();
    for (const Line& line : m_lines) {
        size += line.changed ? 2 * (line.text.size() + line.end.size()) : line.raw.size();
    }
    std::string out;
    out.reserve(size);
    out += m_bom;
    for (const Line& line : m_lines) {
        if (line.changed) {
            out += encoded(line.text + line.end);
        } else {
            out += line.raw;
        }
    }
    return out;
}

}  // namespace pw
