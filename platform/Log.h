// SPDX-License-Identifier: GPL-3.0-or-later
// The process log: one plain sentence per line on standard error, capturable by tests.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Writes message and a newline to standard error in one write, or hands it to the live LogCapture.
// Safe to call from any thread.
void log(std::string_view message);

// Hands a line to the calling thread's ThreadLogTap, if there is one, without logging it: the cause of an
// outcome that the log does not need, such as why a file was refused.
void note(std::string_view message);

// While alive, log lines are collected here instead of going to standard error. One capture at a time.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // The messages logged so far, without their newlines.
    std::vector<std::string> lines() const;

private:
    friend void log(std::string_view message);
    std::vector<std::string> m_lines;
};

// While alive, also keeps the lines logged on the thread that created it, wherever they go otherwise:
// lets an operation hand on the reason of its failure. Taps nest: a line reaches every tap alive on the
// thread, and each is destroyed before the one it was made inside. Used on that thread only.
class ThreadLogTap {
public:
    ThreadLogTap();
    ~ThreadLogTap();
    ThreadLogTap(const ThreadLogTap&) = delete;
    ThreadLogTap& operator=(const ThreadLogTap&) = delete;

    const std::vector<std::string>& lines() const { return m_lines; }
    // Keeps a line that is handed on but not logged: an outcome too ordinary for the log.
    void add(std::string_view message) { m_lines.emplace_back(message); }

private:
    friend void log(std::string_view message);
    friend void note(std::string_view message);
    ThreadLogTap* m_outer;
    std::vector<std::string> m_lines;
};

} // namespace platform
