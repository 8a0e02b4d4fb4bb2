#include "engine/data_check.h"

#include <limits.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <unordered_map>

#include "engine/column_table.h"
#include "engine/markers.h"
#include "engine/page_naming.h"
#include "engine/page_rules.h"
#include "engine/separators.h"
#include "engine/utf8.h"
#include "fs/file.h"
#include "fs/line_reader.h"

namespace pw {

namespace {

constexpr uint64_t kColumns = ColumnTable::kSlots;

std::string_view trimmed(std::string_view text) {
    size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string_view::npos) {
        return {};
    }
    size_t end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowerCopy(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = lowerAscii(c);
    }
    return lower;
}

// The fields of a line as the column table splits it, at most 101.
void splitFields(std::string_view line, char separator, std::vector<std::string_view>& fields) {
    fields.clear();
    size_t start = 0;
    while (fields.size() < kColumns) {
        size_t found = line.find(separator, start);
        if (found == std::string_view::npos) {
            fields.push_back(line.substr(start));
            return;
        }
        fields.push_back(line.substr(start, found - start));
        start = found + 1;
    }
}

// A value a spreadsheet would show as a number, a price or a date: digits and no letter.
bool looksNumeric(std::string_view value) {
    bool digit = false;
    for (char c : value) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
            return false;
        }
        digit = digit || (c >= '0' && c <= '9');
    }
    return digit;
}

// The character set a model line declares in a <meta> element, as written; empty when none.
std::string declaredCharset(std::string_view line) {
    std::string lower = lowerCopy(line);
    size_t meta = lower.find("<meta");
    while (meta != std::string::npos) {
        size_t end = lower.find('>', meta);
        std::string_view element = std::string_view(lower).substr(
            meta, end == std::string::npos ? std::string::npos : end - meta);
        size_t at = element.find("charset");
        if (at != std::string_view::npos) {
            size_t i = meta + at + 7;
            while (i < lower.size() && lower[i] == ' ') {
                ++i;
            }
            if (i < lower.size() && lower[i] == '=') {
                ++i;
                while (i < lower.size() &&
                       (lower[i] == ' ' || lower[i] == '"' || lower[i] == '\'')) {
                    ++i;
                }
                size_t from = i;
                while (i < lower.size() &&
                       (std::isalnum(static_cast<unsigned char>(lower[i])) || lower[i] == '-' ||
                        lower[i] == '_' || lower[i] == '.' || lower[i] == ':')) {
                    ++i;
                }
                if (i > from) {
                    return std::string(line.substr(from, i - from));
                }
            }
        }
        meta = lower.find("<meta", meta + 1);
    }
    return {};
}

bool isUtf8Name(std::string_view charset) {
    std::string lower = lowerCopy(charset);
    return lower == "utf-8" || lower == "utf8";
}

// True when `line` holds something a person meant as a marker that the run does not take as
// one: "<!--" then "tag" or "/tag" in any case, blanks allowed around, a number and "-->".
// Only asked of lines holding neither "<!--tag" nor "<!--/tag".
bool looksLikeMarker(std::string_view line) {
    std::string lower = lowerCopy(line);
    for (size_t at = lower.find("<!--"); at != std::string::npos; at = lower.find("<!--", at + 1)) {
        size_t i = at + 4;
        auto blanks = [&] {
            while (i < lower.size() && (lower[i] == ' ' || lower[i] == '\t')) {
                ++i;
            }
        };
        blanks();
        if (i < lower.size() && lower[i] == '/') {
            ++i;
            blanks();
        }
        if (lower.compare(i, 3, "tag") != 0) {
            continue;
        }
        i += 3;
        blanks();
        size_t digits = i;
        while (i < lower.size() && lower[i] >= '0' && lower[i] <= '9') {
            ++i;
        }
        if (i == digits) {
            continue;
        }
        blanks();
        if (lower.compare(i, 3, "-->") == 0) {
            return true;
        }
    }
    return false;
}

// `line` without its `length` bytes at `at`, blanks at both ends removed: what a rule that
// keeps only those bytes would lose.
std::string_view restWithout(std::string_view line, size_t at, size_t length, std::string& buffer) {
    buffer.assign(line.substr(0, at));
    buffer.append(line.substr(std::min(line.size(), at + length)));
    return trimmed(buffer);
}

// Collects the findings of each kind, keeping the first few.
class Findings {
  public:
    explicit Findings(size_t keep) : m_keep(keep) {}

    void add(CheckKind kind, CheckFinding finding) {
        CheckGroup& group = m_groups[kind];
        group.kind = kind;
        ++group.count;
        if (group.first.size() < m_keep) {
            group.first.push_back(std::move(finding));
        }
    }
    void drop(CheckKind kind) { m_groups.erase(kind); }
    bool has(CheckKind kind) const { return m_groups.count(kind) != 0; }

    std::vector<CheckGroup> take() {
        std::vector<CheckGroup> groups;
        for (auto& [kind, group] : m_groups) {
            groups.push_back(std::move(group));
        }
        return groups;
    }

  private:
    size_t m_keep;
    std::map<CheckKind, CheckGroup> m_groups;
};

// What the model tells about the data it expects.
struct ModelFacts {
    int highestColumnTag = -1;
    bool markers = false;
    bool titleLine = false;
    std::string charset;
};

Status readFailure(CheckReport& report, CheckInput input, Status status) {
    report.unreadable = input;
    return status;
}

Status checkModel(Env& env, const CheckRequest& request, Findings& findings, ModelFacts& facts,
                  CheckReport& report) {
    FileHandle file;
    Status opened = openForReading(env, request.modelPath, file);
    if (!opened.ok()) {
        return readFailure(report, CheckInput::Model, opened);
    }
    // As the rules do: a region that no later line closes is closed on its opener's line.
    uint64_t lastCloser = 0;
    uint64_t number = 0;
    std::string_view line;
    {
        LineReader counter = LineReader::fromFd(env, file.fd());
        while (counter.next(line)) {
            ++number;
            if (PageRules::isCloserLine(line)) {
                lastCloser = number;
            }
        }
        if (counter.failed()) {
            return readFailure(report, CheckInput::Model, Status::ioError("read error"));
        }
    }
    Status rewound = env.seek(file.fd(), 0);
    if (!rewound.ok()) {
        return readFailure(report, CheckInput::Model, rewound);
    }
    LineReader reader = LineReader::fromFd(env, file.fd());
    bool inside = false;
    std::string buffer;
    number = 0;
    auto dropped = [&](DroppedBy by) {
        CheckFinding finding;
        finding.line = number;
        finding.droppedBy = by;
        finding.text = std::string(trimmed(line));
        findings.add(CheckKind::MarkupDropped, std::move(finding));
    };
    while (reader.next(line)) {
        ++number;
        if (facts.charset.empty()) {
            facts.charset = declaredCharset(line);
        }
        const PageRules::Marks marks = PageRules::marksOf(line);
        if (marks.opener) {
            std::optional<int> tag = smallestOpenerTag(line, 100);
            if (!tag) {
                dropped(DroppedBy::InvalidMarker);
                continue;
            }
            facts.markers = true;
            if (*tag <= request.highestColumnTag) {
                facts.highestColumnTag = std::max(facts.highestColumnTag, *tag);
            }
            const std::string opener = openerMarker(*tag);
            size_t open = line.find(opener);
            if (line.find(closerMarker(*tag), open + opener.size()) != std::string_view::npos) {
                inside = false;  // a region on one line keeps the text around it
                continue;
            }
            if (!restWithout(line, open, opener.size(), buffer).empty()) {
                dropped(DroppedBy::Marker);
            }
            inside = number <= lastCloser;
            continue;
        }
        if (marks.closer) {
            size_t at = line.find(kCloserPrefix);
            size_t end = at + kCloserPrefix.size();
            while (end < line.size() && line[end] >= '0' && line[end] <= '9') {
                ++end;
            }
            if (line.substr(end, kMarkerSuffix.size()) == kMarkerSuffix) {
                end += kMarkerSuffix.size();
            }
            if (!restWithout(line, at, end - at, buffer).empty()) {
                dropped(DroppedBy::Marker);
            }
            inside = false;
            continue;
        }
        if (looksLikeMarker(line)) {
            CheckFinding finding;
            finding.line = number;
            finding.text = std::string(trimmed(line));
            findings.add(CheckKind::MarkerLookalike, std::move(finding));
        }
        if (inside) {
            continue;
        }
        if (marks.generator) {
            size_t at = line.find(kGeneratorText);
            size_t end = line.find('>', at);
            end = end == std::string_view::npos ? line.size() : end + 1;
            if (!restWithout(line, at, end - at, buffer).empty()) {
                dropped(DroppedBy::Generator);
            }
            continue;
        }
        if (marks.title) {
            facts.titleLine = true;
            size_t at = line.find(kTitleText);
            size_t close = line.find("</title>", at);
            if (close == std::string_view::npos) {
                dropped(DroppedBy::UnclosedTitle);
            } else if (!restWithout(line, at, close + 8 - at, buffer).empty()) {
                dropped(DroppedBy::Title);
            }
        }
    }
    if (reader.failed()) {
        return readFailure(report, CheckInput::Model, Status::ioError("read error"));
    }
    if (!facts.markers) {
        findings.add(CheckKind::NoRegionMarkers, CheckFinding{});
    }
    return Status();
}

// Every line of the data file, as the run would read it.
class DataLines {
  public:
    DataLines(const CheckRequest& request, const ModelFacts& model, Findings& findings)
        : m_request(request), m_model(model), m_findings(findings) {
        const long long title = titleColumnOf(request.titleFromTag, request.titleTag);
        if (request.namesPages) {
            m_nameNeeds = 1;
            if (request.composedNames) {
                for (const std::string& tag : request.namingTags) {
                    if (!tag.empty()) {
                        m_nameNeeds = std::max<uint64_t>(m_nameNeeds, columnsFor(tagNumber(tag)));
                    }
                }
            }
            if (model.titleLine) {
                m_nameNeeds = std::max<uint64_t>(m_nameNeeds, columnsFor(title));
            }
        }
        m_modelNeeds = model.highestColumnTag < 0 ? 0 : columnsFor(model.highestColumnTag);
        m_utf8Model = isUtf8Name(model.charset);
    }

    // Takes line `number`; false when the file turns out to be UTF-16, which ends the check.
    bool take(uint64_t number, std::string_view line) {
        m_number = number;
        if (number == 1 && (line.starts_with("\xFF\xFE") || line.starts_with("\xFE\xFF") ||
                            line.find('\0') != std::string_view::npos)) {
            m_findings.add(CheckKind::DataUtf16, CheckFinding{});
            return false;
        }
        checkEncoding(line);
        splitFields(line, m_request.separator, m_fields);
        bool blank = std::all_of(m_fields.begin(), m_fields.end(),
                                 [](std::string_view field) { return trimmed(field).empty(); });
        std::string name;
        if (m_request.namesPages) {
            m_columns.split(line, m_request.separator);
            name = pageName(m_request.composedNames, m_request.namingTags, m_columns);
        }
        if (blank) {
            add(CheckKind::BlankLine, name);
            return true;
        }
        ++m_nonBlank;
        countSeparators(line);
        checkHeader(line);
        const uint64_t columns = m_fields.size();
        if (columns < m_nameNeeds) {
            addShort(CheckKind::ShortForName, columns, m_nameNeeds);
        }
        if (columns < m_modelNeeds) {
            addShort(CheckKind::ShortForModel, columns, m_modelNeeds);
        }
        checkQuotes();
        if (m_request.namesPages) {
            checkName(name);
        }
        return true;
    }

    void finish() {
        if (m_headerCandidate && m_nonBlank > 1) {
            CheckFinding finding;
            finding.line = 1;
            finding.text = m_firstLine;
            m_findings.add(CheckKind::MaybeHeader, std::move(finding));
        }
        if (m_model.charset.empty() && m_notAscii) {
            m_findings.add(CheckKind::ModelNoCharset, CheckFinding{});
        }
        if (m_nonBlank > 0 && m_withSeparator == 0 && std::max(m_nameNeeds, m_modelNeeds) > 1) {
            // Every line is one column: the short lines say nothing more than this.
            m_findings.drop(CheckKind::ShortForName);
            m_findings.drop(CheckKind::ShortForModel);
            CheckFinding finding;
            for (size_t c = 0; c < m_candidates.size(); ++c) {
                if (m_withCandidate[c] * 2 >= m_nonBlank && m_withCandidate[c] > finding.columns) {
                    finding.columns = m_withCandidate[c];
                    finding.text = std::string(1, m_candidates[c]);
                }
            }
            m_findings.add(CheckKind::SeparatorMissing, std::move(finding));
        }
    }

  private:
    static uint64_t columnsFor(long long tag) {
        return tag < 0 ? 0 : std::min<uint64_t>(static_cast<uint64_t>(tag) + 1, kColumns + 1);
    }

    void add(CheckKind kind, std::string text, uint64_t earlier = 0) {
        CheckFinding finding;
        finding.line = m_number;
        finding.earlierLine = earlier;
        finding.text = std::move(text);
        m_findings.add(kind, std::move(finding));
    }

    void addShort(CheckKind kind, uint64_t columns, uint64_t needed) {
        CheckFinding finding;
        finding.line = m_number;
        finding.columns = columns;
        finding.needed = needed;
        m_findings.add(kind, std::move(finding));
    }

    void checkEncoding(std::string_view line) {
        bool ascii = std::all_of(line.begin(), line.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        if (ascii) {
            return;
        }
        m_notAscii = true;
        bool utf8 = isWellFormedUtf8(line);
        if (m_utf8Model && !utf8) {
            add(CheckKind::DataNotUtf8, std::string(line));
        } else if (!m_model.charset.empty() && !m_utf8Model && utf8) {
            add(CheckKind::DataUtf8ModelNot, std::string(line));
        }
    }

    void countSeparators(std::string_view line) {
        if (line.find(m_request.separator) != std::string_view::npos) {
            ++m_withSeparator;
        }
        if (m_withSeparator == 0) {
            for (size_t c = 0; c < m_candidates.size(); ++c) {
                m_withCandidate[c] += line.find(m_candidates[c]) != std::string_view::npos;
            }
        }
    }

    // A header row names the columns: no value is a number, and none recurs in its column.
    void checkHeader(std::string_view line) {
        if (m_nonBlank == 1) {
            size_t named = 0;
            bool numeric = false;
            for (std::string_view field : m_fields) {
                std::string_view value = trimmed(field);
                named += !value.empty();
                numeric = numeric || (!value.empty() && looksNumeric(value));
                m_firstValues.emplace_back(value);
            }
            m_headerCandidate = m_number == 1 && named >= 2 && !numeric;
            m_firstLine = std::string(line);
            return;
        }
        if (!m_headerCandidate) {
            return;
        }
        for (size_t k = 0; k < m_fields.size() && k < m_firstValues.size(); ++k) {
            if (!m_firstValues[k].empty() && trimmed(m_fields[k]) == m_firstValues[k]) {
                m_headerCandidate = false;
                return;
            }
        }
    }

    // A spreadsheet quotes a value that holds the separator; the format splits it anyway.
    void checkQuotes() {
        for (size_t k = 0; k < m_fields.size(); ++k) {
            std::string_view field = trimmed(m_fields[k]);
            if (field.empty() || (field.front() != '"' && field.back() != '"')) {
                continue;
            }
            size_t last = k;
            if (field.front() == '"' && (field.size() == 1 || field.back() != '"')) {
                for (size_t j = k + 1; j < m_fields.size(); ++j) {
                    std::string_view next = trimmed(m_fields[j]);
                    if (!next.empty() && next.back() == '"') {
                        last = j;
                        break;
                    }
                }
            }
            CheckFinding finding;
            finding.line = m_number;
            finding.columns = k;
            finding.needed = last;
            for (size_t j = k; j <= last; ++j) {
                if (j > k) {
                    finding.text += m_request.separator;
                }
                finding.text += m_fields[j];
            }
            m_findings.add(CheckKind::QuotedField, std::move(finding));
            return;
        }
    }

    void checkName(const std::string& name) {
        if (!isPlainFileName(name) || name.size() > NAME_MAX) {
            add(CheckKind::RefusedName, name);
            return;
        }
        if (name.front() == '.') {
            add(CheckKind::HiddenName, name);
        }
        auto [at, added] = m_names.try_emplace(name, m_number);
        if (!added) {
            add(CheckKind::DuplicateName, name, at->second);
            at->second = m_number;
        }
    }

    const CheckRequest& m_request;
    const ModelFacts& m_model;
    Findings& m_findings;
    uint64_t m_nameNeeds = 0;
    uint64_t m_modelNeeds = 0;
    bool m_utf8Model = false;

    uint64_t m_number = 0;
    uint64_t m_nonBlank = 0;
    std::vector<std::string_view> m_fields;
    ColumnTable m_columns;
    bool m_notAscii = false;

    bool m_headerCandidate = false;
    std::string m_firstLine;
    std::vector<std::string> m_firstValues;

    uint64_t m_withSeparator = 0;
    static constexpr std::array<char, 8> m_candidates = {';', '|', ',', ':', '#', '&', '$', '\t'};
    std::array<uint64_t, 8> m_withCandidate{};

    // Each page name and the last line that gave it.
    std::unordered_map<std::string, uint64_t> m_names;
};

}  // namespace

CheckRequest pagesCheckRequest(const RunSettings& settings) {
    CheckRequest request;
    request.dataPath = settings.source;
    request.modelPath = settings.fichiermodele;
    request.separator = settings.separateur;
    request.namesPages = true;
    request.composedNames = settings.Option2 && !settings.namingTags[0].empty();
    if (request.composedNames) {
        request.namingTags = settings.namingTags;
    }
    request.titleFromTag = settings.titrep2 && !settings.titleTag.empty();
    if (request.titleFromTag) {
        request.titleTag = settings.titleTag;
    }
    request.highestColumnTag = 98;
    return request;
}

CheckRequest yearbookCheckRequest(const RunSettings& settings) {
    CheckRequest request;
    request.dataPath = settings.i30;
    request.modelPath = settings.i50;
    request.separator = settings.i33;
    request.namesPages = false;
    request.highestColumnTag = 99;
    return request;
}

Status checkDataAndModel(Env& env, const CheckRequest& request, CheckReport& report) {
    report = CheckReport();
    report.separator = request.separator;
    report.namesPages = request.namesPages;
    Findings findings(request.keep);
    ModelFacts model;
    Status status = checkModel(env, request, findings, model, report);
    if (!status.ok()) {
        return status;
    }
    report.modelCharset = model.charset;

    FileHandle data;
    Status opened = openForReading(env, request.dataPath, data);
    if (!opened.ok()) {
        return readFailure(report, CheckInput::Data, opened);
    }
    LineReader reader = LineReader::fromFd(env, data.fd());
    reader.skipByteOrderMark();
    DataLines lines(request, model, findings);
    std::string_view line;
    uint64_t number = 0;
    while (reader.next(line)) {
        if (!lines.take(++number, line)) {
            break;
        }
    }
    if (reader.failed()) {
        return readFailure(report, CheckInput::Data, Status::ioError("read error"));
    }
    if (!findings.has(CheckKind::DataUtf16)) {
        lines.finish();
    }
    report.dataLines = number;
    report.groups = findings.take();
    return Status();
}

}  // namespace pw
