// SPDX-License-Identifier: GPL-3.0-or-later
// What a launch asks of the window: files to list and, from a file manager's menu, the direction to offer.
#pragma once

#include <QByteArray>

#include <cstdint>
#include <vector>

// The values travel in the hand-off message between launches: they never change meaning.
enum class LaunchDirection : uint8_t { None = 0, Encrypt = 1, Decrypt = 2 };

struct LaunchRequest {
    LaunchDirection direction = LaunchDirection::None;
    // Absolute paths as the file system spells them: bytes, not text, so that a name in no encoding at all
    // still reaches its file.
    std::vector<QByteArray> paths;

    bool operator==(const LaunchRequest&) const = default;
};
