#include "engine/page_assembler.h"

#include <fcntl.h>

#include <cerrno>

#include "engine/progress_text.h"

namespace pw {

namespace {

// Files up to this size are read once into memory; larger ones are streamed twice.
constexpr uint64_t kInMemoryLimit = 4u << 20;
// The new version is held in memory up to this size, then written out as it grows.
constexpr size_t kSpillSize = 4u << 20;

}  // namespace

LineReader PageAssembler::Input::reader(Env& env) const {
    if (fd < 0) {
        return LineReader::fromMemory(bytes);
    }
    (void)env.seek(fd, 0);
    return LineReader::fromFd(env, fd);
}

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
        m_modelStatus = readAll(m_env, model.fd(), m_modelBytes);
        m_modelInMemory = m_modelStatus.ok();
    }
}

bool PageAssembler::loadPage(const std::string& name, const Entry& entry, Input& input) {
    if (entry.exists) {
        if (Status status = m_destination.openForReading(name, m_pageFile); !status.ok()) {
            m_status = Status::fromErrno(status.sysError(), "cannot read the page");
            return false;
        }
        FileInfo info;
        if (m_env.stat(m_pageFile.fd(), "", AT_EMPTY_PATH, info).ok() && !info.regular) {
            m_status = Status::ioError("not a plain file");
            return false;
        }
        if (info.size <= kInMemoryLimit) {
            if (Status status = readAll(m_env, m_pageFile.fd(), m_pageBytes); !status.ok()) {
                m_status = Status::fromErrno(status.sysError(), "cannot read the page");
                return false;
            }
            input = Input{m_pageBytes, -1};
        } else {
            input = Input{{}, m_pageFile.fd()};
        }
        return true;
    }
    if (m_modelInMemory) {
        input = Input{m_modelBytes, -1};
        return true;
    }
    if (Status status = openForReading(m_env, m_modelPath, m_modelFile); !status.ok()) {
        m_status = Status::fromErrno(status.sysError(), "cannot read the model");
        return false;
    }
    input = Input{{}, m_modelFile.fd()};
    return true;
}

PageOutcome PageAssembler::fail(Status status) {
    m_status = std::move(status);
    return PageOutcome::Failed;
}

Status PageAssembler::flushIfLarge(WorkFile& work, bool force) {
    if (!force && m_out.size() < kSpillSize) {
        return Status();
    }
    if (!work.isOpen()) {
        Status opened = work.open();
        if (!opened.ok()) {
            return opened;
        }
    }
    Status status = work.write(m_out);
    m_out.clear();
    return status;
}

PageOutcome PageAssembler::assemble(const std::string& name, const std::string& title) {
    ProgressDisplay& display = m_context.display();
    m_status = Status();
    m_pageFile = FileHandle();
    m_modelFile = FileHandle();

    Input input;
    bool usable = false;
    Entry entry;
    if (!isPlainFileName(name)) {
        m_status = Status::invalidArgument("the name would leave the destination directory");
    } else if (!m_destination.ok()) {
        m_status = Status::ioError("cannot open the destination directory");
    } else {
        entry = m_destination.entry(name);
        if (entry.exists && !entry.writable) {
            m_status = Status::ioError("read-only page", EACCES);
        } else {
            usable = loadPage(name, entry, input);
        }
    }

    // First pass: the line count for the bar, and the last line that closes a region.
    // The model's lines are the same for every new page: they are taken once, with their marks.
    uint64_t lines = 0;
    uint64_t lastCloser = 0;
    const bool fromModel = usable && !entry.exists && m_modelInMemory;
    if (fromModel && !m_modelScanned) {
        LineReader counter = input.reader(m_env);
        std::string_view line;
        while (counter.next(line)) {
            ModelLine& modelLine = m_modelLineList.emplace_back();
            modelLine.text.assign(line);
            modelLine.marks = PageRules::marksOf(line);
            if (PageRules::isCloserLine(modelLine.marks)) {
                m_modelLastCloser = m_modelLineList.size();
            }
        }
        m_modelScanned = true;
    }
    if (fromModel) {
        lines = m_modelLineList.size();
        lastCloser = m_modelLastCloser;
    } else if (usable) {
        LineReader counter = input.reader(m_env);
        std::string_view line;
        while (counter.next(line)) {
            ++lines;
            if (PageRules::isCloserLine(line)) {
                lastCloser = lines;
            }
        }
    }
    const uint64_t total = lines + 1;

    display.setLineText("");
    display.setLineBar(0);
    display.pumpEvents();
    if (m_context.stopRequested()) {
        return PageOutcome::Stopped;
    }
    if (!usable) {
        return PageOutcome::Failed;
    }

    WorkFile work(m_destination, Durability::kAtomic);
    PageRules rules(m_context.state.columns, title);
    rules.begin(lastCloser);
    m_out.clear();
    uint64_t number = 0;
    auto step = [&](std::string_view line, const PageRules::Marks& marks) {
        rules.apply(line, marks, ++number, m_out);
        display.setLineText(CountText(number).view());
        display.setLineBar(wholePercent(number, total));
        return flushIfLarge(work, false);
    };
    if (fromModel) {
        for (const ModelLine& modelLine : m_modelLineList) {
            Status status = step(modelLine.text, modelLine.marks);
            if (!status.ok()) {
                return fail(status);
            }
        }
    } else {
        LineReader reader = input.reader(m_env);
        std::string_view line;
        while (reader.next(line)) {
            Status status = step(line, PageRules::marksOf(line));
            if (!status.ok()) {
                return fail(status);
            }
        }
        if (reader.failed()) {
            return fail(Status::ioError("read error"));
        }
    }

    if (!work.isOpen()) {
        bool unchanged = false;
        if (entry.exists && entry.regular && input.fd < 0 && m_out == input.bytes) {
            unchanged = true;
        }
        if (unchanged) {
            return PageOutcome::Unchanged;
        }
    }
    Status status = flushIfLarge(work, true);
    if (status.ok()) {
        status = work.deliver(name, entry);
    }
    if (!status.ok()) {
        return fail(status);
    }
    return PageOutcome::Written;
}

}  // namespace pw
