// A one-line progress bar on standard error, shown only on a terminal and only for runs that take a while.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace cli {

class ProgressBar {
public:
    // Runs shorter than this never show a bar, so quick runs print nothing but their results.
    static constexpr std::chrono::milliseconds kDelay{500};

    // Draws on `fd` only when it is a terminal.
    ProgressBar(int fd, uint64_t total);
    // Clears the bar if it is still shown.
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // Draws `done` of the total files reported, once `elapsed` since the run's start reaches kDelay and
    // when the count differs from the one shown.
    void update(uint64_t done, std::chrono::steady_clock::duration elapsed);
    // Erases the bar's line, so that what is printed next starts on a clean line.
    void clear();

    // The bar's text, e.g. "[##########          ] 5/10 files" for a width of 20.
    static std::string text(uint64_t done, uint64_t total, std::size_t width);

private:
    int m_fd;
    uint64_t m_total;
    bool m_enabled;
    bool m_shown = false;
    uint64_t m_drawn = 0; // the count shown, so that an unchanged bar is not redrawn
};

} // namespace cli
