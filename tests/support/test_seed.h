// SPDX-License-Identifier: GPL-3.0-or-later
// The seed of a randomised test, printed so that a failing run can be repeated.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <random>

namespace testsupport {

// BRISKLET_TEST_SEED when it is set, otherwise a fresh seed; either way it is printed.
inline uint64_t testSeed() {
    uint64_t seed = 0;
    if (const char* text = std::getenv("BRISKLET_TEST_SEED")) {
        seed = std::strtoull(text, nullptr, 0);
    } else {
        seed = std::random_device{}();
    }
    std::cout << "BRISKLET_TEST_SEED=" << seed << '\n';
    return seed;
}

} // namespace testsupport
