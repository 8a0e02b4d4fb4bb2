#include "cli/console_host.h"

#include <chrono>
#include <csignal>
#include <cstdlib>

namespace pw::cli {

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

void onInterrupt(int) {
    g_interrupted = 1;
}

double now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// A name taken from a data file may hold control characters; they are shown as \xNN so
// they cannot drive the terminal.
std::string printable(std::string_view text) {
    std::string shown;
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            shown += escaped;
        } else {
            shown += static_cast<char>(c);
        }
    }
    return shown;
}

}  // namespace

void ConsoleReport::onFailure(std::string_view path, std::string_view reason) {
    std::fprintf(stderr, "not written: %s: %s\n", printable(path).c_str(),
                 printable(reason).c_str());
}

ConsoleHost::ConsoleHost(RunSettings settings, bool showProgress)
    : m_settings(std::move(settings)), m_showProgress(showProgress) {
    if (const char* at = std::getenv("PAGEWRIGHT_TEST_INTERRUPT_AT_PUMP")) {
        m_interruptAtPump = std::atol(at);
    }
}

void ConsoleHost::catchInterrupt() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    // A second Ctrl-C ends the program at once; pages stay whole either way.
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
}

void ConsoleHost::showMessage(Icon icon, std::string_view text) {
    clearBar();
    FILE* stream = icon == Icon::Critical ? stderr : stdout;
    std::fprintf(stream, "%.*s\n", static_cast<int>(text.size()), text.data());
    std::fflush(stream);
}

void ConsoleHost::setStatus(std::string_view text) {
    if (m_showProgress && !text.empty()) {
        clearBar();
        std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    }
}

void ConsoleHost::setRecordText(std::string_view text) {
    m_record = text;
    drawBar(false);
}

void ConsoleHost::setTotalBar(int percent) {
    m_percent = percent;
    drawBar(false);
}

void ConsoleHost::setTimeText(std::string_view text) {
    m_time = text;
    drawBar(false);
}

void ConsoleHost::pumpEvents() {
    // Tests interrupt a run at a chosen event pump, through the real signal path.
    ++m_pumps;
    if (m_interruptAtPump > 0 && m_pumps == m_interruptAtPump) {
        std::raise(SIGINT);
    }
    if (g_interrupted && !m_stopClicked && m_frame != nullptr) {
        m_stopClicked = true;
        m_frame->Command1_Click();
    }
}

void ConsoleHost::drawBar(bool force) {
    if (!m_showProgress || m_record.empty()) {
        return;
    }
    double t = now();
    if (!force && t - m_lastDraw < 0.1) {
        return;
    }
    m_lastDraw = t;
    constexpr int kWidth = 30;
    int filled = m_percent < 0 ? 0 : (m_percent > 100 ? kWidth : m_percent * kWidth / 100);
    std::string bar(static_cast<size_t>(filled), '#');
    bar.append(static_cast<size_t>(kWidth - filled), ' ');
    std::fprintf(stderr, "\r[%s] %3d%%  %s  %s\x1b[K", bar.c_str(), m_percent, m_record.c_str(),
                 m_time.c_str());
    std::fflush(stderr);
    m_barShown = true;
}

void ConsoleHost::clearBar() {
    if (m_barShown) {
        std::fprintf(stderr, "\r\x1b[K");
        std::fflush(stderr);
        m_barShown = false;
    }
}

}  // namespace pw::cli
