// SPDX-License-Identifier: GPL-3.0-or-later
// LockedArea: slots handed out once and zeroed on return, the pages locked and kept out of core files as
// the kernel reports them, no lock and no word where the limit forbids it, and many threads at once.
#include "platform/LockedArea.h"

#include "platform/Log.h"
#include "tests/support/child_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <fstream>
#include <limits>
#include <linux/capability.h>
#include <set>
#include <sstream>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <thread>
#include <vector>

namespace {

using platform::LockedArea;

// A key schedule's size: what the area is for.
constexpr std::size_t kKeySize = 4388;

bool allZero(const void* slot, std::size_t length) {
    const auto* bytes = static_cast<const uint8_t*>(slot);
    return std::all_of(bytes, bytes + length, [](uint8_t b) { return b == 0; });
}

TEST(LockedAreaTest, RefusesSizesThatMakeNoArea) {
    const std::size_t huge = std::numeric_limits<std::size_t>::max();
    const std::pair<std::size_t, std::size_t> refused[] = {{0, 4}, {16, 0}, {huge, 1}, {huge / 2, 3}};
    for (const auto& [size, count] : refused) {
        EXPECT_EQ(LockedArea::create(size, count), nullptr) << size << " x " << count;
    }
}

TEST(LockedAreaTest, HandsOutEachSlotOnceAndZeroesItOnReturn) {
    const auto area = LockedArea::create(kKeySize, 3);
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->slotSize(), 4416u);
    EXPECT_EQ(area->length() % static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)), 0u);

    std::set<void*> slots;
    for (int i = 0; i < 3; ++i) {
        void* slot = area->acquire();
        ASSERT_NE(slot, nullptr);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(slot) % LockedArea::kSlotAlignment, 0u);
        EXPECT_GE(static_cast<const uint8_t*>(slot), static_cast<const uint8_t*>(area->base()));
        EXPECT_LE(static_cast<const uint8_t*>(slot) + area->slotSize(),
                  static_cast<const uint8_t*>(area->base()) + area->length());
        EXPECT_TRUE(allZero(slot, area->slotSize()));
        std::memset(slot, 0xA5, area->slotSize());
        slots.insert(slot);
    }
    EXPECT_EQ(slots.size(), 3u);
    EXPECT_EQ(area->acquire(), nullptr) << "all taken";

    void* second = *std::next(slots.begin());
    ASSERT_TRUE(area->release(second));
    EXPECT_TRUE(allZero(second, area->slotSize())) << "the key is gone the moment the slot is given back";
    EXPECT_EQ(area->acquire(), second);
    // Its neighbours kept what they hold.
    for (void* slot : slots) {
        if (slot != second) {
            EXPECT_EQ(static_cast<const uint8_t*>(slot)[area->slotSize() - 1], 0xA5);
        }
    }
}

TEST(LockedAreaTest, ReleaseTakesOnlyTheStartOfAHeldSlot) {
    const auto area = LockedArea::create(100, 2);
    ASSERT_NE(area, nullptr);
    auto* held = static_cast<uint8_t*>(area->acquire());
    auto* free = held + area->slotSize();
    int outside = 0;
    std::memset(held, 0x5A, area->slotSize());
    void* const refused[] = {nullptr, held + 1, free, held - 64, held + area->length(), &outside};
    for (void* pointer : refused) {
        EXPECT_FALSE(area->release(pointer)) << pointer;
    }
    EXPECT_EQ(held[0], 0x5A) << "a refused release changes nothing";
    EXPECT_TRUE(area->release(held));
    EXPECT_FALSE(area->release(held)) << "given back twice";
}

// The kernel's own account of the mapping in /proc/self/smaps: its Locked size and its VmFlags.
struct MappingFacts {
    std::size_t lockedKiB = 0;
    std::set<std::string> flags;
};

MappingFacts factsOf(const void* base) {
    std::ifstream smaps("/proc/self/smaps");
    std::ostringstream start;
    start << std::hex << reinterpret_cast<std::uintptr_t>(base) << '-';
    MappingFacts facts;
    bool inside = false;
    for (std::string line; std::getline(smaps, line);) {
        if (line.find('-') < line.find(' ') && line.find(':') > line.find(' ')) {
            inside = line.starts_with(start.str());
        } else if (inside && line.starts_with("Locked:")) {
            facts.lockedKiB = std::stoul(line.substr(7));
        } else if (inside && line.starts_with("VmFlags:")) {
            std::istringstream words(line.substr(8));
            for (std::string flag; words >> flag;) {
                facts.flags.insert(flag);
            }
        }
    }
    return facts;
}

// Whether this process may lock memory beyond its limit: root in a container may lack it.
bool mayLockBeyondTheLimit() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct caps[2]{};
    return ::syscall(SYS_capget, &header, caps) == 0 &&
           (caps[CAP_IPC_LOCK / 32].effective & (1u << (CAP_IPC_LOCK % 32))) != 0;
}

TEST(LockedAreaTest, PagesAreLockedWhereAllowedAndNeverDumped) {
    const auto area = LockedArea::create(kKeySize, 16);
    ASSERT_NE(area, nullptr);
    const MappingFacts facts = factsOf(area->base());
    EXPECT_TRUE(facts.flags.contains("dd")) << "excluded from core files";
    EXPECT_TRUE(facts.flags.contains("wf")) << "wiped in forked children";
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_MEMLOCK, &limit), 0);
    if (mayLockBeyondTheLimit() || limit.rlim_cur >= area->length() * 2) {
        EXPECT_TRUE(area->isLocked());
    }
    EXPECT_EQ(facts.lockedKiB, area->isLocked() ? area->length() / 1024 : 0);
    EXPECT_EQ(facts.flags.contains("lo"), area->isLocked());
}

TEST(LockedAreaTest, ForkedChildSeesZerosWhereTheKeysAre) {
    const auto area = LockedArea::create(kKeySize, 1);
    ASSERT_NE(area, nullptr);
    void* slot = area->acquire();
    std::memset(slot, 0x3C, area->slotSize());
    EXPECT_EQ(testsupport::reportFromChild([&] { return allZero(slot, area->slotSize()) ? "zeros" : "key"; }),
              "zeros");
    EXPECT_FALSE(allZero(slot, area->slotSize()));
}

// Without CAP_IPC_LOCK (root has it) and with no lockable memory, the area is made unlocked and works,
// and nothing is said about it: not in the log, not on standard error.
TEST(LockedAreaTest, WithoutLockableMemoryWorksUnlockedAndSilently) {
    const std::string report = testsupport::reportFromChild([] {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct caps[2]{};
        if (::syscall(SYS_capget, &header, caps) != 0) {
            return std::string("capget failed");
        }
        const auto bit = 1u << (CAP_IPC_LOCK % 32);
        caps[CAP_IPC_LOCK / 32].effective &= ~bit;
        caps[CAP_IPC_LOCK / 32].permitted &= ~bit;
        const rlimit none{0, 0};
        if (::syscall(SYS_capset, &header, caps) != 0 || ::setrlimit(RLIMIT_MEMLOCK, &none) != 0) {
            return std::string("could not drop the lock");
        }
        const int errors = ::memfd_create("stderr", 0);
        ::dup2(errors, STDERR_FILENO);
        const platform::LogCapture log;
        const auto area = LockedArea::create(kKeySize, 4);
        if (!area) {
            return std::string("no area");
        }
        void* slot = area->acquire();
        std::memset(slot, 1, area->slotSize());
        const bool works = slot != nullptr && area->release(slot) && allZero(slot, area->slotSize());
        return std::string(area->isLocked() ? "locked" : "unlocked") + (works ? ", works" : ", broken") +
               ", " +
               std::to_string(log.lines().size() + static_cast<std::size_t>(::lseek(errors, 0, SEEK_END))) +
               " bytes said";
    });
    EXPECT_EQ(report, "unlocked, works, 0 bytes said");
}

// Threads take and give back the two slots as fast as they can; each checks that nobody else wrote into
// the slot it held and that it was handed over zeroed.
TEST(LockedAreaTest, ThreadsNeverShareASlotNorSeeEachOthersBytes) {
    const auto area = LockedArea::create(kKeySize, 2);
    ASSERT_NE(area, nullptr);
    std::atomic<int> faults{0};
    std::vector<std::thread> threads;
    for (uint8_t mark = 1; mark <= 4; ++mark) {
        threads.emplace_back([&, mark] {
            for (int round = 0; round < 2000; ++round) {
                auto* slot = static_cast<uint8_t*>(area->acquire());
                if (slot == nullptr) {
                    std::this_thread::yield();
                    continue;
                }
                faults += allZero(slot, area->slotSize()) ? 0 : 1;
                std::memset(slot, mark, area->slotSize());
                std::this_thread::yield();
                faults +=
                    std::all_of(slot, slot + area->slotSize(), [&](uint8_t b) { return b == mark; }) ? 0 : 1;
                faults += area->release(slot) ? 0 : 1;
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(faults, 0);
}

} // namespace
