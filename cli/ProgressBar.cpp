// SPDX-License-Identifier: GPL-3.0-or-later
// Terminal progress bar drawing.
#include "cli/ProgressBar.h"

#include "cli/WriteAll.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <utility>

namespace cli {

namespace {

constexpr std::size_t kBarWidth = 30;
// Carriage return, then erase to the end of the line: the bar always redraws its own line.
constexpr std::string_view kLineStart = "\r";
constexpr std::string_view kEraseLine = "\x1b[K";

// `done` of `total` scaled to `scale`, rounded down and never past `scale`; sizes near 2^64 bytes must not
// overflow on the way.
uint64_t scaled(uint64_t done, uint64_t total, uint64_t scale) {
    if (total == 0 || done >= total) {
        return scale;
    }
    return static_cast<uint64_t>(static_cast<long double>(done) * scale / total);
}

} // namespace

ProgressBar::ProgressBar(int fd, std::string_view unit)
    : m_fd(fd), m_unit(unit), m_enabled(::isatty(fd) == 1) {}

ProgressBar::~ProgressBar() {
    clear();
}

void ProgressBar::update(const engine::Cryptor::RunProgress& progress,
                         std::chrono::steady_clock::duration elapsed) {
    if (!m_enabled || elapsed < kDelay) {
        return;
    }
    std::string shown = text(progress, kBarWidth, m_unit);
    if (shown == m_drawn) {
        return;
    }
    writeAll(m_fd, std::string(kLineStart) + shown + std::string(kEraseLine));
    m_drawn = std::move(shown);
}

void ProgressBar::clear() {
    if (!m_drawn.empty()) {
        writeAll(m_fd, std::string(kLineStart) + std::string(kEraseLine));
        m_drawn.clear();
    }
}

std::string ProgressBar::text(const engine::Cryptor::RunProgress& progress, std::size_t width,
                              std::string_view unit) {
    const uint64_t files = std::min(progress.filesDone, progress.filesTotal);
    const bool byBytes = progress.bytes.total > 0;
    const uint64_t done = byBytes ? progress.bytes.done : files;
    const uint64_t total = byBytes ? progress.bytes.total : progress.filesTotal;
    const auto filled = static_cast<std::size_t>(scaled(done, total, width));
    char percent[8];
    std::snprintf(percent, sizeof percent, "%3u%%", static_cast<unsigned>(scaled(done, total, 100)));
    return '[' + std::string(filled, '#') + std::string(width - filled, ' ') + "] " + percent + ' ' +
           std::to_string(files) + '/' + std::to_string(progress.filesTotal) + ' ' + std::string(unit);
}

} // namespace cli
