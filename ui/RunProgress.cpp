// SPDX-License-Identifier: GPL-3.0-or-later
// Progress figures for the window's bar, its files label and the rows in progress.
#include "ui/RunProgress.h"

#include <QCoreApplication>

#include <algorithm>
#include <limits>

namespace {

int scaled(uint64_t done, uint64_t total, int scale) {
    if (total == 0 || done >= total) {
        return scale;
    }
    return static_cast<int>(static_cast<long double>(done) * scale / total);
}

} // namespace

int progressBarValue(uint64_t done, uint64_t total) {
    return scaled(done, total, kProgressBarMaximum);
}

RunProgressFigures runProgressFigures(const engine::Cryptor::RunProgress& progress) {
    const uint64_t files = std::min(progress.filesDone, progress.filesTotal);
    RunProgressFigures figures;
    figures.barValue = progress.bytes.total > 0 ? progressBarValue(progress.bytes.done, progress.bytes.total)
                                                : progressBarValue(files, progress.filesTotal);
    // The plural form follows the total; a run of more than 2^31 files is beyond what a list can show.
    const auto total = static_cast<int>(
        std::min<uint64_t>(progress.filesTotal, static_cast<uint64_t>(std::numeric_limits<int>::max())));
    figures.filesText =
        QCoreApplication::translate("RunProgress", "%1 of %n file(s)", nullptr, total).arg(files);
    return figures;
}

std::optional<int> percentDone(const std::optional<engine::Cryptor::Progress>& progress) {
    if (!progress || progress->done == 0 || progress->total == 0) {
        return std::nullopt;
    }
    return scaled(progress->done, progress->total, 100);
}
