#include "links/hyperlinks_run.h"

#include <fcntl.h>

#include <array>
#include <unordered_map>

#include "engine/markers.h"
#include "engine/progress_pace.h"
#include "engine/progress_text.h"
#include "fs/work_file.h"
#include "links/link_block.h"
#include "links/link_groups.h"
#include "links/page_list.h"
#include "links/tag_line.h"

namespace pw {

namespace {

// Pages up to this size are read whole with one read; a larger page streams line by line, so
// memory stays bounded by its longest line.
constexpr uint64_t kWholePageSize = 256 * 1024;
// The scan keeps the bytes of pages it already knows will be rewritten, up to this much in all,
// so that their turn needs no second read.
constexpr uint64_t kKeptBytes = 64u << 20;

// Opens a page of the list; fails when it cannot be opened or is no longer a plain file.
Status openPage(const Directory& directory, const std::string& name, FileHandle& file,
                Entry& entry) {
    Status status = directory.openExisting(name, file, entry);
    if (status.ok() && !entry.exists) {
        status = Status::notFound("No such file or directory");
    }
    if (status.ok() && !entry.regular) {
        status = Status::ioError("not a plain file");
    }
    if (!status.ok()) {
        file.reset();
        return Status::ioError("cannot read the page (" + status.reason() + ")", status.sysError());
    }
    return status;
}

class HyperlinksRun {
  public:
    explicit HyperlinksRun(RunContext& context)
        : m_context(context),
          m_display(context.display()),
          m_directory(context.env, context.settings.hyperdir),
          m_linkMarker(startMarkerOf(context.settings.sourcelien)),
          m_textMarker(startMarkerOf(context.settings.Textelien)),
          m_tagMarkers{m_linkMarker, m_textMarker} {}

    RunOutcome run();

  private:
    bool scan();
    bool link();
    void showCounter(uint64_t i);
    void showLinkCounter(uint64_t j, uint64_t m);
    void rewrite(uint64_t position, std::span<const uint64_t> group);

    RunContext& m_context;
    ProgressDisplay& m_display;
    Directory m_directory;
    std::string m_linkMarker;
    std::string m_textMarker;
    // What a rewrite must not put into a page, since the next run would read it as a tag.
    std::array<std::string, 2> m_tagMarkers;
    std::vector<std::string> m_pages;
    // Every page's link text as it stands on disk now, and the groups of its link values.
    std::vector<TagLine> m_texts;
    LinkGroups m_groups;
    NotFoundValues m_notFound;
    std::vector<Link> m_links;
    // Holds the page being read; it only ever grows.
    std::string m_buffer;
    // Pages read by the scan that share their link value with an earlier page, as they were
    // then; used at their turn only if the file has not changed since.
    struct KeptPage {
        std::string bytes;
        Entry entry;
    };
    std::unordered_map<uint64_t, KeptPage> m_kept;
    uint64_t m_keptBytes = 0;
};

void HyperlinksRun::showCounter(uint64_t i) {
    const uint64_t n = m_pages.size();
    m_display.setRecordText(recordText(i, n));
    m_display.setTotalBar(wholePercent(i, n));
}

void HyperlinksRun::showLinkCounter(uint64_t j, uint64_t m) {
    m_display.setLineText(CountText(j).view());
    m_display.setLineBar(wholePercent(j, m));
}

// Reads every page once: its link value goes into the groups, its link text is kept. A page
// that cannot be read has no value and matches no page.
bool HyperlinksRun::scan() {
    const uint64_t n = m_pages.size();
    m_texts.resize(n);
    m_groups.reserve(n);
    ProgressPace pace(n, m_display.showsProgress());
    for (uint64_t a = 0; a < n; ++a) {
        const double t0 = pace.shows() ? clockSeconds() : 0;
        const bool shown = pace.due(a + 1, t0);
        if (shown) {
            showCounter(a + 1);
        }
        const std::string& name = m_pages[a];
        FileHandle file;
        Entry entry;
        Status status = openPage(m_directory, name, file, entry);
        m_display.pumpEvents();
        if (m_context.stopRequested()) {
            return false;
        }
        PageTags tags;
        std::string_view bytes;
        bool whole = false;
        if (status.ok() && entry.size <= kWholePageSize) {
            if (readSized(m_context.env, file.fd(), entry.size, m_buffer, bytes).ok()) {
                tags = pageTagsOf(bytes, m_linkMarker, m_textMarker);
                whole = true;
            } else {
                status = Status::ioError("cannot read the page (read error)");
            }
        } else if (status.ok()) {
            LineReader reader = LineReader::fromFd(m_context.env, file.fd(), 16 * 1024);
            if (!readPageTags(reader, m_linkMarker, m_textMarker, tags)) {
                status = Status::ioError("cannot read the page (read error)");
            }
        }
        if (!status.ok()) {
            tags = PageTags{};
            m_context.report.failed(m_directory.pathOf(name), status.reason());
        }
        m_groups.assign(a, linkKeyOf(tags.link));
        m_texts[a] = std::move(tags.text);
        if (whole && m_groups.groupOf(a).size() > 1 && m_keptBytes + bytes.size() <= kKeptBytes) {
            m_keptBytes += bytes.size();
            m_kept.emplace(a, KeptPage{std::string(bytes), entry});
        }
        if (shown) {
            m_display.setTimeText(
                timeText(m_context.settings.language, clockSeconds() - t0, n - (a + 1)));
        }
    }
    return true;
}

void HyperlinksRun::rewrite(uint64_t position, std::span<const uint64_t> group) {
    const std::string& name = m_pages[position];
    const uint64_t m = group.size() - 1;
    m_links.clear();
    m_links.reserve(m);
    uint64_t j = 0;
    for (uint64_t partner : group) {
        if (partner == position) {
            continue;
        }
        m_links.push_back(Link{m_pages[partner], textOf(m_texts[partner], m_notFound)});
        if (m_display.showsProgress()) {
            showLinkCounter(++j, m);
        }
    }

    Entry entry;
    std::string_view bytes;
    bool read = false;
    std::string kept;
    if (auto found = m_kept.find(position); found != m_kept.end()) {
        kept = std::move(found->second.bytes);
        const Entry then = found->second.entry;
        m_keptBytes -= kept.size();
        m_kept.erase(found);
        // One stat tells whether the page is still as the scan read it.
        if (m_directory.lookup(name, entry).ok() && entry.sameVersionAs(then)) {
            bytes = kept;
            read = true;
        }
    }
    if (!read) {
        FileHandle file;
        Status status = openPage(m_directory, name, file, entry);
        if (status.ok() && !readSized(m_context.env, file.fd(), entry.size, m_buffer, bytes).ok()) {
            status = Status::ioError("cannot read the page (read error)");
        }
        if (!status.ok()) {
            m_context.report.failed(m_directory.pathOf(name), status.reason());
            return;
        }
    }
    std::string linked = p_ajoute_lien(bytes, m_links, m_context.settings.Tag99, m_tagMarkers);
    if (linked == bytes) {
        m_context.report.unchanged();
        return;
    }
    const Status status = writeVersion(m_directory, name, linked, entry, Durability::kAtomic);
    m_context.report.record(m_directory.pathOf(name), status, Delivery::kWritten);
    if (!status.ok()) {
        return;
    }
    // Pages later in the list see this page as it is now.
    PageTags tags = pageTagsOf(linked, m_linkMarker, m_textMarker);
    m_groups.assign(position, linkKeyOf(tags.link));
    m_texts[position] = std::move(tags.text);
}

// Rewrites, in list order, every page that has partners at its turn.
bool HyperlinksRun::link() {
    const uint64_t n = m_pages.size();
    uint64_t toLink = 0;
    for (uint64_t a = 0; a < n; ++a) {
        toLink += m_groups.groupOf(a).size() > 1 ? 1 : 0;
    }
    ProgressPace pace(n, m_display.showsProgress());
    for (uint64_t a = 0; a < n; ++a) {
        const double t0 = pace.shows() ? clockSeconds() : 0;
        const bool shown = pace.due(a + 1, t0);
        if (shown) {
            showCounter(a + 1);
        }
        std::span<const uint64_t> group = m_groups.groupOf(a);
        if (group.size() < 2) {
            continue;
        }
        m_display.setLineText("");
        m_display.setLineBar(0);
        m_display.pumpEvents();
        if (m_context.stopRequested()) {
            return false;
        }
        rewrite(a, group);
        toLink = toLink > 0 ? toLink - 1 : 0;
        if (shown) {
            m_display.setTimeText(
                timeText(m_context.settings.language, clockSeconds() - t0, toLink));
        }
    }
    return true;
}

RunOutcome HyperlinksRun::run() {
    m_context.announce(RunKind::Hyperlinks);
    m_display.setLineText("");
    m_display.setRecordText("");
    m_display.setLineBar(0);
    m_display.setTotalBar(0);

    m_pages = m_directory.listFiles(isPageName, false);
    if (m_pages.empty()) {
        return RunOutcome::Completed;
    }
    if (!scan() || !link()) {
        return RunOutcome::Stopped;
    }
    return RunOutcome::Completed;
}

}  // namespace

RunOutcome runHyperlinks(RunContext& context) {
    HyperlinksRun run(context);
    return run.run();
}

}  // namespace pw
