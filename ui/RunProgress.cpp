// SPDX-License-Identifier: GPL-3.0-or-later
// Progress figures for the window's bar, its files label and the rows in progress.
#include "ui/RunProgress.h"

#include <QCoreApplication>

#include <algorithm>

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
    figures.filesText = progress.filesTotal == 1
                            ? QCoreApplication::translate("RunProgress", "%1 of 1 file").arg(files)
                            : QCoreApplication::translate("RunProgress", "%1 of %2 files")
                                  .arg(files)
                                  .arg(progress.filesTotal);
    return figures;
}

std::optional<int> percentDone(const std::optional<engine::Cryptor::Progress>& progress) {
    if (!progress || progress->done == 0 || progress->total == 0) {
        return std::nullopt;
    }
    return scaled(progress->done, progress->total, 100);
}
