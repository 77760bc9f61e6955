// SPDX-License-Identifier: GPL-3.0-or-later
// Colour bars: the desktop view's formula, the byte-to-bar table, clamping and the terminal escapes.
#include "cli/ColorBars.h"

#include <gtest/gtest.h>

namespace {

bool operator==(const cli::TerminalColor& a, const cli::TerminalColor& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

TEST(ColorBarsTest, ComponentsFollowTheDesktopFormulaExactly) {
    struct Case {
        uint32_t seed1, seed2;
        std::array<double, 3> components;
    };
    const std::vector<Case> cases = {
        // Blue from byte 192.
        {128, 64, {0.5120000243186951, 0.25600001215934753, 0.7680000066757202}},
        {0, 250, {0.0, 1.0, 1.0}},
        // Above 1.0 as computed; only the terminal colour is clamped.
        {255, 0, {1.0199999809265137, 0.0, 1.0199999809265137}},
        // Blue from (200 + 100) mod 256 = 44.
        {200, 100, {0.800000011920929, 0.4000000059604645, 0.17599999904632568}},
        // Only the low byte of each seed counts, and the blue sum wraps in 32 bits.
        {0x12345680, 0xABCDEF40, {0.5120000243186951, 0.25600001215934753, 0.7680000066757202}},
        {0xFFFFFFFF, 1, {1.0199999809265137, 0.004000000189989805, 0.0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.seed1 << ", " << c.seed2);
        EXPECT_EQ(cli::colorComponents(c.seed1, c.seed2), c.components);
    }
}

TEST(ColorBarsTest, TerminalColorsAreClampedAndScaled) {
    EXPECT_TRUE(cli::terminalColor(128, 64) == (cli::TerminalColor{131, 65, 196}));
    EXPECT_TRUE(cli::terminalColor(200, 100) == (cli::TerminalColor{204, 102, 45}));
    // 251 to 255 lie above 1.0 and are drawn at full intensity, like 250; blue from 255 + 250 = 249.
    EXPECT_TRUE(cli::terminalColor(255, 250) == (cli::TerminalColor{255, 255, 254}));
    EXPECT_TRUE(cli::terminalColor(251, 0) == (cli::TerminalColor{255, 0, 255}));
}

TEST(ColorBarsTest, BarsReadBytesZeroFourEightAndSoOn) {
    uint8_t digest[passphrase::kDigestSize];
    // Every byte that no bar reads is set, so that reading a wrong one shows.
    std::fill(std::begin(digest), std::end(digest), 0xA5);
    const uint8_t sampled[8] = {128, 64, 200, 100, 255, 250, 0, 0};
    for (int i = 0; i < 8; ++i) {
        digest[4 * i] = sampled[i];
    }
    const auto bars = cli::barColors(digest);
    EXPECT_TRUE(bars[0] == (cli::TerminalColor{131, 65, 196}));
    EXPECT_TRUE(bars[1] == (cli::TerminalColor{204, 102, 45}));
    EXPECT_TRUE(bars[2] == (cli::TerminalColor{255, 255, 254}));
    EXPECT_TRUE(bars[3] == (cli::TerminalColor{0, 0, 0}));
}

TEST(ColorBarsTest, RenderedBarsUseTrueColorBackgrounds) {
    const std::string line = "\x1b[48;2;131;65;196m        \x1b[48;2;204;102;45m        "
                             "\x1b[48;2;255;255;254m        \x1b[48;2;0;0;0m        \x1b[0m\n";
    EXPECT_EQ(cli::renderBars({{{131, 65, 196}, {204, 102, 45}, {255, 255, 254}, {0, 0, 0}}}),
              line + line + line);
}

} // namespace
