// forbidCoreDumps makes the process non-dumpable, and its children with it.
#include "platform/ProcessHardening.h"

#include "tests/support/child_report.h"

#include <gtest/gtest.h>

#include <sys/prctl.h>

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

} // namespace
