// SPDX-License-Identifier: GPL-3.0-or-later
// The log sink: standard error, or the live capture, behind one mutex.
#include "platform/Log.h"

#include <cerrno>
#include <mutex>
#include <unistd.h>

namespace platform {

namespace {

std::mutex g_mutex;
LogCapture* g_capture = nullptr;
thread_local ThreadLogTap* t_tap = nullptr;

void writeToStandardError(const std::string& line) {
    size_t done = 0;
    while (done < line.size()) {
        const ssize_t put = ::write(STDERR_FILENO, line.data() + done, line.size() - done);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return;
        }
        done += static_cast<size_t>(put);
    }
}

} // namespace

void log(std::string_view message) {
    for (ThreadLogTap* tap = t_tap; tap != nullptr; tap = tap->m_outer) {
        tap->m_lines.emplace_back(message);
    }
    std::string line(message);
    std::lock_guard lock(g_mutex);
    if (g_capture != nullptr) {
        g_capture->m_lines.push_back(std::move(line));
        return;
    }
    line.push_back('\n');
    writeToStandardError(line);
}

void note(std::string_view message) {
    for (ThreadLogTap* tap = t_tap; tap != nullptr; tap = tap->m_outer) {
        tap->m_lines.emplace_back(message);
    }
}

LogCapture::LogCapture() {
    std::lock_guard lock(g_mutex);
    g_capture = this;
}

LogCapture::~LogCapture() {
    std::lock_guard lock(g_mutex);
    g_capture = nullptr;
}

ThreadLogTap::ThreadLogTap() : m_outer(t_tap) {
    t_tap = this;
}

ThreadLogTap::~ThreadLogTap() {
    t_tap = m_outer;
}

std::vector<std::string> LogCapture::lines() const {
    std::lock_guard lock(g_mutex);
    return m_lines;
}

} // namespace platform
