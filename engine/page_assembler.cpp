#include "engine/page_assembler.h"

#include <fcntl.h>

#include <cerrno>

#include "engine/progress_text.h"
#include "fs/line_reader.h"
#include "fs/work_file.h"

namespace pw {

namespace {

// Files up to this size are read once into memory; larger ones are streamed twice.
constexpr uint64_t kInMemoryLimit = 4u << 20;
// A streamed page shows its line counter every this many lines.
constexpr uint64_t kLinesPerShow = 4096;

// The rules' output going into a streamed version; the first failure is kept.
struct StreamOutput {
    StreamedVersion& version;
    const ColumnTable& columns;
    std::string_view title_;
    Status status;
    void text(std::string_view bytes) {
        if (status.ok()) {
            status = version.write(bytes);
        }
    }
    void column(int k) { text(columns.at(k)); }
    void title() { text(title_); }
};

}  // namespace

PageAssembler::PageAssembler(RunContext& context, const Directory& destination,
                             const std::string& modelPath)
    : m_context(context), m_env(context.env), m_destination(destination), m_modelPath(modelPath) {
    FileHandle model;
    FileInfo info;
    m_modelStatus = openForReading(m_env, modelPath, model);
    if (m_modelStatus.ok()) {
        m_modelStatus = m_env.stat(model.fd(), "", AT_EMPTY_PATH, info);
    }
    if (m_modelStatus.ok() && info.size <= kInMemoryLimit) {
        std::string bytes;
        m_modelStatus = readAll(m_env, model.fd(), bytes);
        m_modelInMemory = m_modelStatus.ok();
        if (m_modelInMemory) {
            m_template = PageTemplate(bytes);
        }
    }
    // A destination that holds no page at all (a first run) gets its pages without looking
    // each name up: the link that delivers a page fails if the name is taken after all.
    m_assumeFree = destination.holdsNone([](std::string_view name) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        return name.size() >= 4 && name[name.size() - 4] == '.' &&
               lower(name[name.size() - 3]) == 'h' && lower(name[name.size() - 2]) == 't' &&
               lower(name[name.size() - 1]) == 'm';
    });
}

PageOutcome PageAssembler::fail(Status status) {
    m_status = std::move(status);
    return PageOutcome::Failed;
}

// Opens the page, or the model for a new page; a page or model up to kInMemoryLimit is read
// whole into m_page (the model as its template), a larger one is left open in m_input.
bool PageAssembler::load(const std::string& name, Entry& entry) {
    Status status;
    if (m_assumeFree) {
        entry = Entry{};
        entry.assumedFree = true;
    } else {
        status = m_destination.openExisting(name, m_input, entry);
    }
    if (entry.exists && !entry.writable) {
        m_status = Status::ioError("read-only page", EACCES);
        return false;
    }
    if (!status.ok()) {
        m_status = Status::fromErrno(status.sysError(), "cannot read the page");
        return false;
    }
    if (entry.exists) {
        if (!entry.regular) {
            m_status = Status::ioError("not a plain file");
            return false;
        }
        if (entry.size <= kInMemoryLimit) {
            status = readSized(m_env, m_input.fd(), entry.size, m_pageBuffer, m_page);
            m_input.reset();
            if (!status.ok()) {
                m_status = Status::fromErrno(status.sysError(), "cannot read the page");
                return false;
            }
        }
        return true;
    }
    if (!m_modelInMemory) {
        if (status = openForReading(m_env, m_modelPath, m_input); !status.ok()) {
            m_status = Status::fromErrno(status.sysError(), "cannot read the model");
            return false;
        }
    }
    return true;
}

void PageAssembler::showLines(uint64_t lines, uint64_t total) {
    ProgressDisplay& display = m_context.display();
    display.setLineText(CountText(lines).view());
    display.setLineBar(wholePercent(lines, total));
}

PageOutcome PageAssembler::assemble(const std::string& name, std::string_view title, bool shown) {
    ProgressDisplay& display = m_context.display();
    m_status = Status();
    m_input.reset();
    m_page = {};

    Entry entry;
    bool usable = false;
    if (!isPlainFileName(name)) {
        m_status = Status::invalidArgument("the name would leave the destination directory");
    } else if (!m_destination.ok()) {
        m_status = Status::ioError("cannot open the destination directory");
    } else {
        usable = load(name, entry);
    }

    if (shown) {
        display.setLineText("");
        display.setLineBar(0);
    }
    display.pumpEvents();
    if (m_context.stopRequested()) {
        return PageOutcome::Stopped;
    }
    if (!usable) {
        return PageOutcome::Failed;
    }
    PageOutcome outcome =
        m_input.valid() ? streamed(name, title, entry, shown) : inMemory(name, title, entry, shown);
    if (outcome == PageOutcome::Failed && entry.assumedFree && m_status.sysError() == EEXIST) {
        // A page appeared where none was expected: from now on every page is looked up, and
        // this one is made from the page that is there.
        m_assumeFree = false;
        m_status = Status();
        m_input.reset();
        if (!load(name, entry)) {
            return PageOutcome::Failed;
        }
        outcome = m_input.valid() ? streamed(name, title, entry, shown)
                                  : inMemory(name, title, entry, shown);
    }
    return outcome;
}

PageOutcome PageAssembler::inMemory(const std::string& name, std::string_view title,
                                    const Entry& entry, bool shown) {
    const ColumnTable& columns = m_context.state.columns;
    m_out.clear();
    uint64_t lines = 0;
    bool same = false;
    const bool fixedPoint = m_modelInMemory && m_template.rendersFixedPoint(columns, title);
    if (!entry.exists) {
        m_template.render(columns, title, m_out);
        lines = m_template.lines();
    } else if (fixedPoint && m_template.rendersAs(columns, title, m_page)) {
        // The page is what the model gives for this record, which the rules leave as it is:
        // unchanged, without going through its lines.
        same = true;
        lines = m_template.pageLines();
    } else if (fixedPoint && m_template.rendersSomeRecordAs(m_page)) {
        // The page is what the model gave for another record, with no hand edit: the rules
        // would give the model's page for this one.
        m_template.render(columns, title, m_out);
        lines = m_template.pageLines();
    } else {
        PageRules rules(columns, title);
        rules.begin(lastCloserPosition(m_page));
        LineReader reader = LineReader::fromMemory(m_page);
        std::string_view line;
        while (reader.next(line)) {
            ++lines;
            rules.apply(line, static_cast<uint64_t>(line.data() - m_page.data()) + 1, m_out);
        }
    }
    if (shown) {
        showLines(lines, lines + 1);
    }
    // A link is replaced by a plain page even when it leads to the same bytes.
    if (entry.exists && !entry.symlink && (same || m_out == m_page)) {
        return PageOutcome::Unchanged;
    }
    if (same) {
        m_out.assign(m_page);
    }
    Status status = writeVersion(m_destination, name, m_out, entry, Durability::kAtomic);
    return status.ok() ? PageOutcome::Written : fail(status);
}

PageOutcome PageAssembler::streamed(const std::string& name, std::string_view title,
                                    const Entry& entry, bool shown) {
    // First pass: the line count for the bar, and the last line that closes a region.
    const int fd = m_input.fd();
    uint64_t lines = 0;
    uint64_t lastCloser = 0;
    std::string_view line;
    // The reader is kept for both passes and every page: a long line's room is made once.
    LineReader& reader = m_reader;
    reader.readFrom(m_env, fd);
    while (reader.next(line)) {
        ++lines;
        if (PageRules::isCloserLine(line)) {
            lastCloser = lines;
        }
    }
    if (reader.failed()) {
        return fail(Status::ioError("read error"));
    }
    if (Status status = m_env.seek(fd, 0); !status.ok()) {
        return fail(status);
    }
    reader.restart();

    const uint64_t total = lines + 1;
    // A large page is compared with its new version as it streams; a link is always replaced.
    FileHandle none;
    StreamedVersion version(m_destination, name, entry, entry.exists ? m_input : none,
                            Durability::kAtomic);
    StreamOutput out{version, m_context.state.columns, title, Status()};
    PageRules rules(m_context.state.columns, title);
    rules.begin(lastCloser);
    uint64_t number = 0;
    while (reader.next(line)) {
        rules.applyTo(line, PageRules::marksOf(line), ++number, out);
        if (!out.status.ok()) {
            return fail(out.status);
        }
        if (shown && number % kLinesPerShow == 0) {
            showLines(number, total);
        }
    }
    if (reader.failed()) {
        return fail(Status::ioError("read error"));
    }
    if (shown) {
        showLines(number, total);
    }
    Delivery delivery;
    if (Status status = version.finish(delivery); !status.ok()) {
        return fail(status);
    }
    return delivery == Delivery::kUnchanged ? PageOutcome::Unchanged : PageOutcome::Written;
}

}  // namespace pw
