// SPDX-License-Identifier: GPL-3.0-or-later
// What the window shows of a run's progress, worked out from the counters the front end polls.
#pragma once

#include "engine/Cryptor.h"

#include <QString>

#include <cstdint>
#include <optional>

// The window's progress bar runs from 0 to this; byte counts do not fit an int.
inline constexpr int kProgressBarMaximum = 1000;

// The bar's value and the words beside it for one moment of a run.
struct RunProgressFigures {
    int barValue = 0;  // 0 to kProgressBarMaximum
    QString filesText; // "3 of 10 files"
};

// The bar follows the bytes, which says more than files when their sizes differ; a run with no bytes to
// count (empty files, or a check, which reads only a few blocks) is measured in files.
RunProgressFigures runProgressFigures(const engine::Cryptor::RunProgress& progress);

// `done` of `total` on the bar's scale, rounded down, never past the end; a total of 0 is complete. Sizes
// near 2^64 bytes must not overflow on the way.
int progressBarValue(uint64_t done, uint64_t total);

// How far a file being processed has come, in percent rounded down: none while nothing is done (the file
// waits for a worker) or there is nothing to count, so that only a file really under way shows a number.
std::optional<int> percentDone(const std::optional<engine::Cryptor::Progress>& progress);
