// SPDX-License-Identifier: GPL-3.0-or-later
// The log: plain lines on standard error, or in a capture while one is alive.
#include "platform/Log.h"

#include <gtest/gtest.h>

namespace {

TEST(LogTest, WritesPlainLinesToStandardError) {
    testing::internal::CaptureStderr();
    platform::log("could not rename file");
    platform::log("");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "could not rename file\n\n");
}

TEST(LogTest, CaptureTakesLinesOnlyWhileAlive) {
    testing::internal::CaptureStderr();
    {
        platform::LogCapture capture;
        platform::log("first");
        platform::log("second");
        EXPECT_EQ(capture.lines(), (std::vector<std::string>{"first", "second"}));
    }
    platform::log("after");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "after\n");
}

} // namespace
