// SPDX-License-Identifier: GPL-3.0-or-later
// Write leases: granted only to the sole opener, refused while another open lasts, broken by another
// process's open, and the fault point that stands for file systems without them.
#include "platform/Lease.h"

#include "platform/FaultInjection.h"
#include "platform/FileHandle.h"
#include "tests/support/child_report.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unprivileged.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace {

using platform::FileHandle;
using platform::LeaseResult;
using namespace std::chrono_literals;

// Long enough for no machine to take it by accident where the lease must come.
constexpr std::chrono::milliseconds kGenerous = 10s;

class LeaseTest : public testing::Test {
protected:
    // A break would otherwise end this process.
    static void SetUpTestSuite() { platform::ignoreLeaseBreakSignal(); }

    std::unique_ptr<FileHandle> open(FileHandle::Access access) const {
        auto handle = FileHandle::openNoFollow(m_file, access);
        EXPECT_NE(handle, nullptr);
        return handle;
    }

    testsupport::TempDir m_dir;
    std::filesystem::path m_file = m_dir.writeFile("f", testsupport::sampleBytes(10));
};

TEST_F(LeaseTest, GrantedToTheOnlyOpenerUntilReleased) {
    const auto handle = open(FileHandle::Access::ReadWrite);
    EXPECT_FALSE(platform::writeLeaseHeld(handle->descriptor()));
    ASSERT_EQ(platform::takeWriteLease(handle->descriptor(), 0ms), LeaseResult::Granted);
    EXPECT_TRUE(platform::writeLeaseHeld(handle->descriptor()));
    platform::releaseLease(handle->descriptor());
    EXPECT_FALSE(platform::writeLeaseHeld(handle->descriptor()));
    platform::releaseLease(handle->descriptor());
}

// Another open file description, even this process's own and even one only for reading, refuses it.
TEST_F(LeaseTest, InUseWhileAnotherOpenLasts) {
    for (const auto access : {FileHandle::Access::ReadOnly, FileHandle::Access::ReadWrite}) {
        SCOPED_TRACE(access == FileHandle::Access::ReadOnly ? "read-only" : "read-write");
        const auto handle = open(FileHandle::Access::ReadWrite);
        const auto other = open(access);
        EXPECT_EQ(platform::takeWriteLease(handle->descriptor(), 30ms), LeaseResult::InUse);
        EXPECT_FALSE(platform::writeLeaseHeld(handle->descriptor()));
    }
}

// A brief look by another program is waited out within the patience.
TEST_F(LeaseTest, GrantedOnceAnotherOpenEndsWithinThePatience) {
    const auto handle = open(FileHandle::Access::ReadWrite);
    auto other = open(FileHandle::Access::ReadOnly);
    std::thread closer([&other] {
        std::this_thread::sleep_for(60ms);
        other->close();
    });
    EXPECT_EQ(platform::takeWriteLease(handle->descriptor(), kGenerous), LeaseResult::Granted);
    closer.join();
}

// The other process's open is refused at once (it would otherwise wait up to the lease-break time), and
// its attempt alone breaks the lease, for reading as for writing.
TEST_F(LeaseTest, AnotherProcessOpeningTheFileBreaksTheLease) {
    for (const int flags : {O_RDONLY, O_RDWR}) {
        SCOPED_TRACE(flags);
        const auto handle = open(FileHandle::Access::ReadWrite);
        ASSERT_EQ(platform::takeWriteLease(handle->descriptor(), 0ms), LeaseResult::Granted);
        const std::string file = m_file.string();
        EXPECT_EQ(testsupport::reportFromChild([&] {
                      const int fd = ::open(file.c_str(), flags | O_NONBLOCK | O_CLOEXEC);
                      return fd >= 0 ? std::string("opened") : std::string(std::strerror(errno));
                  }),
                  std::strerror(EWOULDBLOCK));
        EXPECT_FALSE(platform::writeLeaseHeld(handle->descriptor()));
        platform::releaseLease(handle->descriptor());
    }
}

// The holder's own process is no exception: an open for I/O breaks the lease, and a non-blocking one is
// refused at once, while a status query leaves it alone.
TEST_F(LeaseTest, ThisProcesssOwnLaterOpenBreaksItToo) {
    const auto handle = open(FileHandle::Access::ReadWrite);
    ASSERT_EQ(platform::takeWriteLease(handle->descriptor(), 0ms), LeaseResult::Granted);
    ASSERT_TRUE(std::filesystem::exists(m_file));
    EXPECT_TRUE(platform::writeLeaseHeld(handle->descriptor()));
    FileHandle::Refusal refusal = FileHandle::Refusal::None;
    errno = 0;
    EXPECT_EQ(FileHandle::openRegular(m_file, FileHandle::Access::ReadOnly, refusal), nullptr);
    EXPECT_EQ(refusal, FileHandle::Refusal::SystemError);
    EXPECT_EQ(errno, EWOULDBLOCK);
    EXPECT_FALSE(platform::writeLeaseHeld(handle->descriptor()));
    platform::releaseLease(handle->descriptor());
}

TEST_F(LeaseTest, TheFaultPointMakesItUnsupported) {
    const auto handle = open(FileHandle::Access::ReadWrite);
    {
        platform::FaultInjector injector(platform::FaultPoint::Lease, 1);
        EXPECT_EQ(platform::takeWriteLease(handle->descriptor(), kGenerous), LeaseResult::Unsupported);
        EXPECT_FALSE(platform::writeLeaseHeld(handle->descriptor()));
    }
    EXPECT_EQ(platform::takeWriteLease(handle->descriptor(), 0ms), LeaseResult::Granted);
}

// Without CAP_LEASE only the file's owner may take one: another owner's file is Unsupported at once,
// however long the patience.
TEST_F(LeaseTest, AnotherOwnersFileIsUnsupported) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to act as another user";
    }
    using std::filesystem::perms;
    std::filesystem::permissions(m_dir.path(), perms::others_exec, std::filesystem::perm_options::add);
    std::filesystem::permissions(m_file, perms::others_read, std::filesystem::perm_options::add);
    const std::string file = m_file.string();
    EXPECT_EQ(testsupport::reportFromChild([&] {
                  if (!testsupport::becomeNobody()) {
                      return std::string("no identity change");
                  }
                  const FileHandle handle(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
                  if (handle.descriptor() < 0) {
                      return std::string("not opened");
                  }
                  const LeaseResult result = platform::takeWriteLease(handle.descriptor(), kGenerous);
                  return std::string(result == LeaseResult::Unsupported ? "unsupported" : "other result");
              }),
              "unsupported");
}

} // namespace
