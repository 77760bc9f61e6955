// SPDX-License-Identifier: GPL-3.0-or-later
// Colour bar computation and their drawing with ANSI true-colour escapes.
#include "cli/ColorBars.h"

#include <algorithm>
#include <cmath>

namespace cli {

namespace {

// Bar size in character cells; cells are about twice as high as wide, so this looks like the desktop's
// upright bars.
constexpr int kBarWidth = 8;
constexpr int kBarHeight = 3;

// The component of every byte value: byte × 0.001 × 4.0 in double precision, rounded to single precision,
// the desktop view's formula. Taken from a table computed at compile time because g++ 12 at -O2 vectorizes
// three such conversions side by side into code that skips the rounding to single precision.
constexpr std::array<float, 256> kComponents = [] {
    std::array<float, 256> components{};
    for (uint32_t byte = 0; byte < components.size(); ++byte) {
        components[byte] = static_cast<float>(byte * 0.001 * 4.0);
    }
    return components;
}();

uint8_t toEightBits(double value) {
    return static_cast<uint8_t>(std::lround(std::min(value, 1.0) * 255.0));
}

uint32_t littleEndianWord(const uint8_t* bytes) {
    return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24;
}

} // namespace

std::array<double, 3> colorComponents(uint32_t seed1, uint32_t seed2) {
    const uint32_t red = seed1 % 256;
    const uint32_t green = seed2 % 256;
    const uint32_t blue = (seed1 + seed2) % 256;
    return {kComponents[red], kComponents[green], kComponents[blue]};
}

TerminalColor terminalColor(uint32_t seed1, uint32_t seed2) {
    const auto [red, green, blue] = colorComponents(seed1, seed2);
    return {toEightBits(red), toEightBits(green), toEightBits(blue)};
}

std::array<TerminalColor, 4> barColors(const uint8_t (&digest)[passphrase::kDigestSize]) {
    std::array<TerminalColor, 4> colors{};
    for (std::size_t k = 0; k < colors.size(); ++k) {
        colors[k] = terminalColor(littleEndianWord(digest + 8 * k), littleEndianWord(digest + 8 * k + 4));
    }
    return colors;
}

std::string renderBars(const std::array<TerminalColor, 4>& colors) {
    std::string line;
    for (const auto& color : colors) {
        line += "\x1b[48;2;" + std::to_string(color.red) + ';' + std::to_string(color.green) + ';' +
                std::to_string(color.blue) + 'm' + std::string(kBarWidth, ' ');
    }
    line += "\x1b[0m\n";
    std::string bars;
    for (int row = 0; row < kBarHeight; ++row) {
        bars += line;
    }
    return bars;
}

} // namespace cli
