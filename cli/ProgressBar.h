// SPDX-License-Identifier: GPL-3.0-or-later
// A one-line progress bar on standard error, shown only on a terminal and only for runs that take a while.
#pragma once

#include "engine/Cryptor.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace cli {

class ProgressBar {
public:
    // Runs shorter than this never show a bar, so quick runs print nothing but their results.
    static constexpr std::chrono::milliseconds kDelay{500};

    // Draws on `fd` only when it is a terminal; `unit` names what the files of the progress count.
    explicit ProgressBar(int fd, std::string_view unit = "files");
    // Clears the bar if it is still shown.
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // Draws the run's progress once `elapsed` since the run's start reaches kDelay, and again whenever
    // the text would change.
    void update(const engine::Cryptor::RunProgress& progress, std::chrono::steady_clock::duration elapsed);
    // Erases the bar's line, so that what is printed next starts on a clean line.
    void clear();

    // The bar's text, e.g. "[##########          ]  50% 3/10 files" for a width of 20: the bar and the
    // percentage count bytes, which says more than files when their sizes differ. A run of empty files
    // has no bytes to count, and is measured in files.
    static std::string text(const engine::Cryptor::RunProgress& progress, std::size_t width,
                            std::string_view unit = "files");

private:
    int m_fd;
    std::string m_unit;
    bool m_enabled;
    std::string m_drawn; // the text shown, empty when none is, so that an unchanged bar is not redrawn
};

} // namespace cli
