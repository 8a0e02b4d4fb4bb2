#pragma once

#include <string>
#include <vector>

#include "engine/page_rules.h"
#include "engine/run_frame.h"
#include "fs/line_reader.h"
#include "fs/work_file.h"

namespace pw {

// What became of one page.
enum class PageOutcome { Written, Unchanged, Failed, Stopped };

// Writes the pages of a run into one destination directory, one page at a time: the existing
// page (or the model, for a new page) goes through the substitution rules into a new version
// that replaces the page atomically. A new version equal to the page leaves it untouched.
// Buffers are kept from page to page.
class PageAssembler {
  public:
    PageAssembler(RunContext& context, const Directory& destination, const std::string& modelPath);

    // Produces page `name` from the current record. Pumps events once, before the page is
    // read; when a stop is requested there, nothing is written and Stopped is returned.
    PageOutcome assemble(const std::string& name, const std::string& title);

    // Why the last page failed.
    const Status& lastStatus() const { return m_status; }
    // Whether the model could be opened (and, when small, read) when the assembler was made.
    const Status& modelStatus() const { return m_modelStatus; }

  private:
    // The bytes one page is made from: in memory when small, else streamed from its file.
    struct Input {
        std::string_view bytes;
        int fd = -1;
        LineReader reader(Env& env) const;
    };

    bool loadPage(const std::string& name, const Entry& entry, Input& input);
    PageOutcome fail(Status status);
    Status flushIfLarge(WorkFile& work, bool force);

    RunContext& m_context;
    Env& m_env;
    const Directory& m_destination;
    std::string m_modelBytes;
    bool m_modelInMemory = false;
    // The model's lines and their marks, taken on the first new page: every new page is made
    // from the same lines.
    struct ModelLine {
        std::string text;
        PageRules::Marks marks;
    };
    bool m_modelScanned = false;
    std::vector<ModelLine> m_modelLineList;
    uint64_t m_modelLastCloser = 0;
    std::string m_modelPath;
    std::string m_pageBytes;
    FileHandle m_pageFile;
    FileHandle m_modelFile;
    std::string m_out;
    Status m_status;
    Status m_modelStatus;
};

}  // namespace pw
