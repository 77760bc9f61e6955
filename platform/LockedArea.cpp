// SPDX-License-Identifier: GPL-3.0-or-later
// LockedArea over an anonymous mapping, mlock and madvise, with the slots' use behind one mutex.
#include "platform/LockedArea.h"

#include <cstring>
#include <limits>
#include <new>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace platform {

namespace {

// Rounds up to a multiple of `unit`, or gives 0 when that overflows.
std::size_t roundUp(std::size_t value, std::size_t unit) {
    if (value > std::numeric_limits<std::size_t>::max() - (unit - 1)) {
        return 0;
    }
    return (value + unit - 1) / unit * unit;
}

// Straight to the kernel: the sanitizers' runtimes replace mlock and munlock with calls that do nothing and
// report success, and isLocked() has to tell the truth in every build.
bool lockPages(void* base, std::size_t length) {
    return ::syscall(SYS_mlock, base, length) == 0;
}

void unlockPages(void* base, std::size_t length) {
    ::syscall(SYS_munlock, base, length);
}

} // namespace

std::unique_ptr<LockedArea> LockedArea::create(std::size_t slotSize, std::size_t slotCount) {
    const std::size_t slot = roundUp(slotSize, kSlotAlignment);
    if (slot == 0 || slotCount == 0 || slotCount > std::numeric_limits<std::size_t>::max() / slot) {
        return nullptr;
    }
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t length = roundUp(slot * slotCount, page);
    if (length == 0) {
        return nullptr;
    }
    void* mapped = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) {
        return nullptr;
    }
    // Both only narrow who can see the keys; a kernel without them leaves the area usable as it is.
    ::madvise(mapped, length, MADV_DONTDUMP);
    ::madvise(mapped, length, MADV_WIPEONFORK);
    // Refused beyond RLIMIT_MEMLOCK for processes without CAP_IPC_LOCK, which is the common case for a
    // desktop user with a low limit: the keys then stay in ordinary, swappable memory.
    const bool locked = lockPages(mapped, length);
    auto* area =
        new (std::nothrow) LockedArea(static_cast<uint8_t*>(mapped), length, slot, slotCount, locked);
    if (area == nullptr) {
        if (locked) {
            unlockPages(mapped, length);
        }
        ::munmap(mapped, length);
    }
    return std::unique_ptr<LockedArea>(area);
}

LockedArea::LockedArea(uint8_t* base, std::size_t length, std::size_t slotSize, std::size_t slotCount,
                       bool locked)
    : m_base(base), m_length(length), m_slotSize(slotSize), m_locked(locked), m_taken(slotCount, false) {}

LockedArea::~LockedArea() {
    ::explicit_bzero(m_base, m_length);
    if (m_locked) {
        unlockPages(m_base, m_length);
    }
    ::munmap(m_base, m_length);
}

void* LockedArea::acquire() {
    std::lock_guard lock(m_mutex);
    for (std::size_t i = 0; i < m_taken.size(); ++i) {
        if (!m_taken[i]) {
            m_taken[i] = true;
            return m_base + i * m_slotSize;
        }
    }
    return nullptr;
}

bool LockedArea::release(void* slot) {
    const auto address = reinterpret_cast<std::uintptr_t>(slot);
    const auto first = reinterpret_cast<std::uintptr_t>(m_base);
    if (slot == nullptr || address < first || (address - first) % m_slotSize != 0) {
        return false;
    }
    const std::size_t index = (address - first) / m_slotSize;
    std::lock_guard lock(m_mutex);
    if (index >= m_taken.size() || !m_taken[index]) {
        return false;
    }
    // Zeroed before it is marked free, so that the next holder never sees the previous key.
    ::explicit_bzero(slot, m_slotSize);
    m_taken[index] = false;
    return true;
}

} // namespace platform
