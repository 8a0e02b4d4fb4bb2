#include "registry/hive_file.h"

#include <cstdint>
#include <optional>

#include "registry/registry_api.h"

namespace pw {

namespace {

constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::string_view kNewline = "\r\n";
constexpr size_t kHexBytesPerLine = 25;

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimLeft(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    return s;
}

std::string_view trimRight(std::string_view s) {
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

// Splits the text into lines at LF, dropping one CR before it.
class LineReader {
  public:
    explicit LineReader(std::string_view text) : m_text(text) {}

    std::optional<std::string_view> next() {
        if (m_pos >= m_text.size()) {
            return std::nullopt;
        }
        size_t end = m_text.find('\n', m_pos);
        if (end == std::string_view::npos) {
            end = m_text.size();
        }
        std::string_view line = m_text.substr(m_pos, end - m_pos);
        m_pos = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        return line;
    }

  private:
    std::string_view m_text;
    size_t m_pos = 0;
};

// Reads a quoted string with \\ and \" escapes at the start of `s`; advances `s` past it.
std::optional<std::string> readQuoted(std::string_view& s) {
    if (s.empty() || s.front() != '"') {
        return std::nullopt;
    }
    std::string out;
    size_t i = 1;
    while (i < s.size()) {
        char c = s[i];
        if (c == '"') {
            s.remove_prefix(i + 1);
            return out;
        }
        if (c == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) {
            out.push_back(s[i + 1]);
            i += 2;
            continue;
        }
        out.push_back(c);
        ++i;
    }
    return std::nullopt;
}

// Reads "01,02,ff" (possibly empty, blanks allowed around the commas).
std::optional<std::vector<std::uint8_t>> readHexList(std::string_view s) {
    std::vector<std::uint8_t> bytes;
    s = trimRight(trimLeft(s));
    if (s.empty()) {
        return bytes;
    }
    while (true) {
        s = trimLeft(s);
        if (s.size() < 2 || hexDigit(s[0]) < 0 || hexDigit(s[1]) < 0) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<std::uint8_t>(hexDigit(s[0]) * 16 + hexDigit(s[1])));
        s = trimLeft(s.substr(2));
        if (s.empty()) {
            return bytes;
        }
        if (s.front() != ',') {
            return std::nullopt;
        }
        s.remove_prefix(1);
    }
}

// Reads 1 to 8 hex digits as a number.
std::optional<std::uint32_t> readHexNumber(std::string_view s) {
    if (s.empty() || s.size() > 8) {
        return std::nullopt;
    }
    std::uint32_t n = 0;
    for (char c : s) {
        int d = hexDigit(c);
        if (d < 0) {
            return std::nullopt;
        }
        n = n * 16 + static_cast<std::uint32_t>(d);
    }
    return n;
}

struct ParsedData {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
};

// Reads the data part of a value line; `more` supplies continuation lines of a hex list.
std::optional<ParsedData> readData(std::string_view s, LineReader& more) {
    ParsedData out;
    if (!s.empty() && s.front() == '"') {
        auto text = readQuoted(s);
        if (!text || !trimRight(s).empty()) {
            return std::nullopt;
        }
        out.type = kRegSz;
        out.data.assign(text->begin(), text->end());
        out.data.push_back(0);
        return out;
    }
    if (s.substr(0, 6) == "dword:") {
        auto n = readHexNumber(trimRight(s.substr(6)));
        if (!n) {
            return std::nullopt;
        }
        out.type = kRegDword;
        for (int i = 0; i < 4; ++i) {
            out.data.push_back(static_cast<std::uint8_t>((*n >> (8 * i)) & 0xFF));
        }
        return out;
    }
    if (s.substr(0, 3) != "hex") {
        return std::nullopt;
    }
    s.remove_prefix(3);
    out.type = kRegBinary;
    if (!s.empty() && s.front() == '(') {
        size_t close = s.find(')');
        if (close == std::string_view::npos) {
            return std::nullopt;
        }
        auto type = readHexNumber(s.substr(1, close - 1));
        if (!type) {
            return std::nullopt;
        }
        out.type = *type;
        s.remove_prefix(close + 1);
    }
    if (s.empty() || s.front() != ':') {
        return std::nullopt;
    }
    s.remove_prefix(1);
    std::string list;
    std::string_view part = trimRight(s);
    while (!part.empty() && part.back() == '\\') {
        part.remove_suffix(1);
        list.append(part);
        auto next = more.next();
        if (!next) {
            return std::nullopt;
        }
        part = trimRight(trimLeft(*next));
    }
    list.append(part);
    auto bytes = readHexList(list);
    if (!bytes) {
        return std::nullopt;
    }
    out.data = std::move(*bytes);
    return out;
}

void appendQuoted(std::string& out, std::string_view text) {
    out.push_back('"');
    for (char c : text) {
        if (c == '\\' || c == '"') {
            out.push_back('\\');
        }
        out.push_back(c);
    }
    out.push_back('"');
}

// True when a text value can be written between quotes and read back byte for byte.
bool quotable(const HiveValue& value) {
    if (value.type != kRegSz || value.data.empty() || value.data.back() != 0) {
        return false;
    }
    for (size_t i = 0; i + 1 < value.data.size(); ++i) {
        std::uint8_t b = value.data[i];
        if (b == 0 || b == '\r' || b == '\n') {
            return false;
        }
    }
    return true;
}

void appendValue(std::string& out, const HiveValue& value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    if (value.name.empty()) {
        out.push_back('@');
    } else {
        appendQuoted(out, value.name);
    }
    out.push_back('=');
    if (quotable(value)) {
        appendQuoted(out, std::string_view(reinterpret_cast<const char*>(value.data.data()),
                                           value.data.size() - 1));
    } else if (value.type == kRegDword && value.data.size() == 4) {
        std::uint32_t n = 0;
        for (int i = 3; i >= 0; --i) {
            n = (n << 8) | value.data[static_cast<size_t>(i)];
        }
        out.append("dword:");
        for (int shift = 28; shift >= 0; shift -= 4) {
            out.push_back(kDigits[(n >> shift) & 0xF]);
        }
    } else {
        out.append("hex");
        if (value.type != kRegBinary) {
            out.push_back('(');
            std::string type;
            std::uint32_t t = value.type;
            do {
                type.insert(type.begin(), kDigits[t & 0xF]);
                t >>= 4;
            } while (t != 0);
            out.append(type);
            out.push_back(')');
        }
        out.push_back(':');
        for (size_t i = 0; i < value.data.size(); ++i) {
            if (i > 0) {
                out.push_back(',');
                if (i % kHexBytesPerLine == 0) {
                    out.push_back('\\');
                    out.append(kNewline);
                    out.append("  ");
                }
            }
            out.push_back(kDigits[value.data[i] >> 4]);
            out.push_back(kDigits[value.data[i] & 0xF]);
        }
    }
    out.append(kNewline);
}

void appendKey(std::string& out, const HiveKey& key, std::string& path, bool isRoot) {
    // Keys that only lead to other keys are implied by their subkeys' headers.
    if (!key.values.empty() || (!isRoot && key.subkeys.empty())) {
        out.push_back('[');
        out.append(path);
        out.push_back(']');
        out.append(kNewline);
        for (const auto& value : key.values) {
            appendValue(out, value);
        }
        out.append(kNewline);
    }
    for (const auto& subkey : key.subkeys) {
        size_t length = path.size();
        path.push_back('\\');
        path.append(subkey.name);
        appendKey(out, subkey, path, false);
        path.resize(length);
    }
}

}  // namespace

HiveParse parseHive(std::string_view text) {
    HiveParse result;
    LineReader lines(text);
    HiveKey* current = nullptr;
    // Values under a "[-...]" header (a key deletion in the format) are ignored, not damage.
    bool deletedKey = false;
    while (auto next = lines.next()) {
        std::string_view line = trimLeft(*next);
        if (line.empty() || line.front() == ';' || trimRight(line) == kHeader ||
            line.substr(0, 28) == "Windows Registry Editor Vers") {
            continue;
        }
        if (line.front() == '[') {
            current = nullptr;
            deletedKey = false;
            size_t close = line.rfind(']');
            if (close == std::string_view::npos) {
                result.damaged = true;
                continue;
            }
            std::string_view path = line.substr(1, close - 1);
            if (!path.empty() && path.front() == '-') {
                deletedKey = true;
                continue;
            }
            auto parts = splitKeyPath(path);
            int root = parts.empty() ? -1 : rootIndex(parts.front());
            if (root < 0 || parts.size() - 1 > kMaxKeyDepth) {
                result.damaged = true;
                continue;
            }
            current = &result.hive.roots[static_cast<size_t>(root)];
            for (size_t i = 1; i < parts.size(); ++i) {
                current = &current->addSubkey(parts[i]);
            }
            continue;
        }
        std::string name;
        std::string_view rest = line;
        if (rest.front() == '@') {
            rest.remove_prefix(1);
        } else {
            auto quoted = readQuoted(rest);
            if (!quoted) {
                result.damaged = true;
                continue;
            }
            name = std::move(*quoted);
        }
        rest = trimLeft(rest);
        if (rest.empty() || rest.front() != '=') {
            result.damaged = true;
            continue;
        }
        rest = trimLeft(rest.substr(1));
        if (trimRight(rest) == "-") {
            continue;
        }
        auto data = readData(rest, lines);
        if (!data) {
            result.damaged = true;
            continue;
        }
        if (current == nullptr) {
            result.damaged = result.damaged || !deletedKey;
            continue;
        }
        current->setValue(name, data->type, std::move(data->data));
    }
    return result;
}

std::string formatHive(const Hive& hive) {
    std::string out;
    out.append(kHeader);
    out.append(kNewline);
    out.append(kNewline);
    for (const auto& root : hive.roots) {
        std::string path = root.name;
        appendKey(out, root, path, true);
    }
    return out;
}

}  // namespace pw
