// SPDX-License-Identifier: GPL-3.0-or-later
// A small region of memory for key copies: kept out of swap where the limit allows, out of core files and
// out of forked children, and handed out in fixed-size slots.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace platform {

// One mapping of whole pages made at creation and never grown, so that a slot never moves and no copy of
// its content is left behind by a reallocation. Safe to use from several threads at once.
class LockedArea {
public:
    // Slots start at multiples of this, so that any record fits and no two slots share a cache line.
    static constexpr std::size_t kSlotAlignment = 64;

    // Room for `slotCount` slots of at least `slotSize` bytes each (rounded up to kSlotAlignment). The
    // pages are locked in memory (mlock) when RLIMIT_MEMLOCK or CAP_IPC_LOCK allows it; otherwise the area
    // works all the same, unlocked and without a word, since a refused lock is no reason to stop. They are
    // always excluded from core files (MADV_DONTDUMP) and read as zeros in a forked child
    // (MADV_WIPEONFORK). None for a zero size or count, a size that overflows, or a failed mapping.
    static std::unique_ptr<LockedArea> create(std::size_t slotSize, std::size_t slotCount);
    // Zeroes every slot, also those never given back, then unlocks and unmaps the pages.
    ~LockedArea();
    LockedArea(const LockedArea&) = delete;
    LockedArea& operator=(const LockedArea&) = delete;

    // A free slot of slotSize() bytes, all zero; null when every slot is taken, in which case the caller
    // keeps its copy in ordinary memory.
    void* acquire();
    // Zeroes the slot and makes it free again. False, changing nothing, for null, for a pointer that is not
    // the start of a slot of this area, and for a slot that is already free.
    bool release(void* slot);

    std::size_t slotSize() const { return m_slotSize; }
    std::size_t slotCount() const { return m_taken.size(); }
    // Whether the pages are locked in memory.
    bool isLocked() const { return m_locked; }
    // The first byte of the mapping and its length in bytes (whole pages).
    const void* base() const { return m_base; }
    std::size_t length() const { return m_length; }

private:
    LockedArea(uint8_t* base, std::size_t length, std::size_t slotSize, std::size_t slotCount, bool locked);

    uint8_t* const m_base;
    const std::size_t m_length;
    const std::size_t m_slotSize;
    const bool m_locked;
    std::mutex m_mutex;        // guards m_taken
    std::vector<bool> m_taken; // one entry per slot
};

} // namespace platform
