#include "cli/console_host.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <csignal>

#include "engine/data_check_text.h"
#include "engine/progress_text.h"

namespace pw::cli {

namespace {

volatile std::sig_atomic_t g_interrupted = 0;
volatile std::sig_atomic_t g_resized = 0;

void onInterrupt(int) {
    g_interrupted = 1;
}

void onResize(int) {
    g_resized = 1;
}

int terminalWidth() {
    struct winsize size {};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
        return size.ws_col;
    }
    return 80;
}

}  // namespace

void ConsoleReport::onFailure(std::string_view path, std::string_view reason) {
    // A name taken from a data file may hold control characters: they are shown as \xNN so
    // they cannot drive the terminal.
    std::fprintf(
        stderr, "%s%s: %s\n", m_language == Language::French ? "non écrit : " : "not written: ",
        shownExcerpt(path, path.size()).c_str(), shownExcerpt(reason, reason.size()).c_str());
}

ConsoleHost::ConsoleHost(RunSettings settings, bool showProgress)
    : m_settings(std::move(settings)), m_showProgress(showProgress) {}

void ConsoleHost::catchSignals() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    // A second Ctrl-C ends the program at once; pages stay whole either way.
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    struct sigaction resize {};
    resize.sa_handler = onResize;
    sigemptyset(&resize.sa_mask);
    resize.sa_flags = SA_RESTART;
    sigaction(SIGWINCH, &resize, nullptr);
}

void ConsoleHost::showMessage(Icon icon, std::string_view text) {
    clearBar();
    FILE* stream = icon == Icon::Critical ? stderr : stdout;
    std::fprintf(stream, "%.*s%s\n", static_cast<int>(text.size()), text.data(),
                 icon == Icon::Critical ? m_refusalNote.c_str() : "");
    std::fflush(stream);
}

void ConsoleHost::setStatus(std::string_view text) {
    if (m_showProgress && !text.empty()) {
        clearBar();
        std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    }
}

void ConsoleHost::setRecordText(std::string_view text) {
    auto numbers = recordNumbers(text);
    if (!numbers) {
        m_counter.clear();
        clearBar();
        return;
    }
    auto [record, total] = *numbers;
    m_counter = std::to_string(record) + "/" + std::to_string(total);
    m_remaining.update(record > 0 ? record - 1 : 0, total, clockSeconds());
    auto left = m_remaining.seconds();
    m_estimate = left ? remainingWords(m_settings.language, *left) : std::string();
    drawBar(false);
}

void ConsoleHost::setTotalBar(int percent) {
    m_percent = percent;
    drawBar(false);
}

void ConsoleHost::setTimeText(std::string_view text) {
    // The line shows its own smoothed estimate; the time of each page would make it jump.
    if (text.empty()) {
        m_estimate.clear();
    }
}

void ConsoleHost::pumpEvents() {
    if (g_interrupted && !m_stopClicked && m_frame != nullptr) {
        m_stopClicked = true;
        m_frame->Command1_Click();
    }
}

void ConsoleHost::drawBar(bool force) {
    if (!m_showProgress || m_counter.empty()) {
        return;
    }
    double t = clockSeconds();
    if (!force && !g_resized && t - m_lastDraw < 0.1) {
        return;
    }
    m_lastDraw = t;
    if (g_resized || m_width == 0) {
        g_resized = 0;
        m_width = terminalWidth();
    }
    std::string line = progressLine(m_width, m_percent, m_counter, m_estimate);
    std::fprintf(stderr, "\r%s\x1b[K", line.c_str());
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
