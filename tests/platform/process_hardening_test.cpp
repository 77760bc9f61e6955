// SPDX-License-Identifier: GPL-3.0-or-later
// forbidCoreDumps makes the process non-dumpable, and its children with it; raiseOpenFileLimit lifts the
// soft limit on open files to the hard one.
#include "platform/ProcessHardening.h"

#include "tests/support/child_report.h"

#include <gtest/gtest.h>

#include <sys/prctl.h>
#include <sys/resource.h>

namespace {

std::string dumpable() {
    return "dumpable " + std::to_string(::prctl(PR_GET_DUMPABLE, 0, 0, 0, 0));
}

// In a child, so that this test process stays dumpable for debuggers and sanitizers.
TEST(ProcessHardeningTest, ProcessAndItsForkedChildrenAreNotDumpable) {
    EXPECT_EQ(testsupport::reportFromChild(dumpable), "dumpable 1");
    EXPECT_EQ(testsupport::reportFromChild([] {
                  const bool done = platform::forbidCoreDumps();
                  return std::string(done ? "done, " : "refused, ") + dumpable() + ", child " +
                         testsupport::reportFromChild(dumpable);
              }),
              "done, dumpable 0, child dumpable 0");
}

// In a child, so that this test process keeps its limits.
TEST(ProcessHardeningTest, OpenFileLimitIsRaisedToTheHardLimit) {
    EXPECT_EQ(testsupport::reportFromChild([] {
                  struct rlimit limit {};
                  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_max < 64) {
                      return std::string("no room to test");
                  }
                  limit.rlim_cur = 32;
                  if (::setrlimit(RLIMIT_NOFILE, &limit) != 0) {
                      return std::string("not lowered");
                  }
                  const bool raised = platform::raiseOpenFileLimit();
                  const bool again = platform::raiseOpenFileLimit();
                  struct rlimit after {};
                  ::getrlimit(RLIMIT_NOFILE, &after);
                  return std::string(raised && again ? "raised" : "refused") +
                         (after.rlim_cur == limit.rlim_max ? " to the hard limit" : " elsewhere");
              }),
              "raised to the hard limit");
}

} // namespace
