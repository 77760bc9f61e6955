// SPDX-License-Identifier: GPL-3.0-or-later
// The four colour bars that let a user recognise a passphrase by its digest, for a true-colour terminal.
#pragma once

#include "crypto/passphrase_key.h"

#include <array>
#include <cstdint>
#include <string>

namespace cli {

// Red, green and blue as the desktop view computes them: byte × 0.001 × 4.0 in double precision, rounded
// to single precision. Bytes 251 to 255 give components a little above 1.0.
std::array<double, 3> colorComponents(uint32_t seed1, uint32_t seed2);

struct TerminalColor {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
};

// The same colour for a 24-bit terminal: each component clamped to 1.0 and scaled to 0..255, rounded.
TerminalColor terminalColor(uint32_t seed1, uint32_t seed2);

// Bar k (0 to 3) takes its seeds from digest words 2k and 2k+1, read little-endian, so only bytes 0, 4,
// 8, ..., 28 matter.
std::array<TerminalColor, 4> barColors(const uint8_t (&digest)[passphrase::kDigestSize]);

// Side-by-side bars drawn with 24-bit background colour escapes, each line ending in a reset and "\n".
std::string renderBars(const std::array<TerminalColor, 4>& colors);

} // namespace cli
