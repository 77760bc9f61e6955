// Terminal progress bar drawing.
#include "cli/ProgressBar.h"

#include "cli/WriteAll.h"

#include <algorithm>
#include <unistd.h>

namespace cli {

namespace {

constexpr std::size_t kBarWidth = 30;
// Carriage return, then erase to the end of the line: the bar always redraws its own line.
constexpr std::string_view kLineStart = "\r";
constexpr std::string_view kEraseLine = "\x1b[K";

} // namespace

ProgressBar::ProgressBar(int fd, uint64_t total) : m_fd(fd), m_total(total), m_enabled(::isatty(fd) == 1) {}

ProgressBar::~ProgressBar() {
    clear();
}

void ProgressBar::update(uint64_t done, std::chrono::steady_clock::duration elapsed) {
    if (!m_enabled || elapsed < kDelay || (m_shown && done == m_drawn)) {
        return;
    }
    writeAll(m_fd, std::string(kLineStart) + text(done, m_total, kBarWidth) + std::string(kEraseLine));
    m_shown = true;
    m_drawn = done;
}

void ProgressBar::clear() {
    if (m_shown) {
        writeAll(m_fd, std::string(kLineStart) + std::string(kEraseLine));
        m_shown = false;
    }
}

std::string ProgressBar::text(uint64_t done, uint64_t total, std::size_t width) {
    done = std::min(done, total);
    const auto filled = total == 0 ? width : static_cast<std::size_t>(done * width / total);
    return '[' + std::string(filled, '#') + std::string(width - filled, ' ') + "] " + std::to_string(done) +
           '/' + std::to_string(total) + " files";
}

} // namespace cli
