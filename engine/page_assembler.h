#pragma once

#include <string>
#include <string_view>

#include "engine/page_rules.h"
#include "engine/run_frame.h"
#include "fs/directory.h"
#include "fs/file.h"
#include "fs/line_reader.h"

namespace pw {

// What became of one page.
enum class PageOutcome { Written, Unchanged, Failed, Stopped };

// Writes the pages of a run into one destination directory, one page at a time: the existing
// page (or the model, for a new page) goes through the substitution rules into a new version
// that replaces the page atomically. A new version equal to the page leaves it untouched.
// Pages and models up to 4 MB are made in memory (a new page from the model's template);
// larger ones stream, and a large page is compared with its new version as it streams, so an
// identical one is left untouched too. Buffers are kept from page to page.
class PageAssembler {
  public:
    PageAssembler(RunContext& context, const Directory& destination, const std::string& modelPath);

    // Produces page `name` from the current record. Pumps events once, before the page is
    // made; when a stop is requested there, nothing is written and Stopped is returned. With
    // `shown`, the line counter and bar show the page's lines.
    PageOutcome assemble(const std::string& name, std::string_view title, bool shown);

    // Why the last page failed.
    const Status& lastStatus() const { return m_status; }
    // Whether the model could be opened (and, when small, read) when the assembler was made.
    const Status& modelStatus() const { return m_modelStatus; }

  private:
    bool load(const std::string& name, Entry& entry);
    PageOutcome inMemory(const std::string& name, std::string_view title, const Entry& entry,
                         bool shown);
    PageOutcome streamed(const std::string& name, std::string_view title, const Entry& entry,
                         bool shown);
    void showLines(uint64_t lines, uint64_t total);
    PageOutcome fail(Status status);

    RunContext& m_context;
    Env& m_env;
    const Directory& m_destination;
    std::string m_modelPath;
    bool m_modelInMemory = false;
    // No page was in the destination when the run began: names are not looked up.
    bool m_assumeFree = false;
    PageTemplate m_template;
    // The page being made, when it is read whole: a buffer that only grows, and the page in it.
    std::string m_pageBuffer;
    std::string_view m_page;
    // The page or model that streams, and its reader.
    FileHandle m_input;
    LineReader m_reader{LineReader::Source()};
    std::string m_out;
    Status m_status;
    Status m_modelStatus;
};

}  // namespace pw
