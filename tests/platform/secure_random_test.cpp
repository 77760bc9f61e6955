// SPDX-License-Identifier: GPL-3.0-or-later
// secureRandomBytes fills every byte it is asked for, also beyond what one getrandom call returns.
#include "platform/SecureRandom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

namespace {

TEST(SecureRandomTest, FillsRequestsLargerThanOneCallReturns) {
    // getrandom returns at most 32 MiB - 1 bytes per call; zeros left at the end would mean a short fill.
    std::vector<uint8_t> bytes(40 << 20, 0);
    ASSERT_TRUE(platform::secureRandomBytes(bytes.data(), bytes.size()));
    EXPECT_FALSE(std::all_of(bytes.end() - 64, bytes.end(), [](uint8_t b) { return b == 0; }));
}

TEST(SecureRandomTest, SuccessiveDrawsDiffer) {
    std::array<uint8_t, 16> first{};
    std::array<uint8_t, 16> second{};
    ASSERT_TRUE(platform::secureRandomBytes(first.data(), first.size()));
    ASSERT_TRUE(platform::secureRandomBytes(second.data(), second.size()));
    EXPECT_NE(first, second);
    EXPECT_TRUE(platform::secureRandomBytes(nullptr, 0));
}

} // namespace
