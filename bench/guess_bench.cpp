// SPDX-License-Identifier: GPL-3.0-or-later
// Candidates tested per second on one core by guess: enumeration, key derivation and the check-block test.
#include "cli/CandidateCheck.h"
#include "cli/EditCandidates.h"

#include <benchmark/benchmark.h>

#include <string_view>

namespace {

// Any two blocks do: a wrong candidate costs as much as the right one, and almost every one is wrong.
constexpr uint8_t kLastTwo[2 * engine::format::kBlockSize] = {
    0x3a, 0x91, 0x5c, 0x07, 0xee, 0x42, 0x18, 0xb6, 0x6d, 0x20, 0xf1, 0x8c, 0x55, 0x09, 0xa3, 0x7e,
    0xc4, 0x1b, 0x68, 0xd2, 0x37, 0x9f, 0x04, 0xab, 0x5e, 0x86, 0x11, 0xf9, 0x2c, 0x73, 0xbd, 0x40,
};

// The typed passphrase's length sets the candidates' length, on which the hashing's cost depends a little.
void candidatesPerSecond(benchmark::State& state, std::u32string_view typed) {
    const cli::EditCandidates candidates(typed);
    cli::CandidateCheck check(kLastTwo);
    uint64_t tested = 0;
    for (auto _ : state) {
        // Distance 2 is where nearly all the time goes; stop after a slice of it.
        uint64_t slice = 0;
        candidates.visit(2, 0, 1, [&](std::u32string_view candidate, uint64_t) {
            benchmark::DoNotOptimize(check.opens(candidate));
            return ++slice < 10'000;
        });
        tested += slice;
    }
    state.counters["candidates/s"] =
        benchmark::Counter(static_cast<double>(tested), benchmark::Counter::kIsRate);
}

void BM_GuessCandidates8(benchmark::State& state) {
    candidatesPerSecond(state, U"password");
}
void BM_GuessCandidates20(benchmark::State& state) {
    candidatesPerSecond(state, U"correct horse batter");
}

BENCHMARK(BM_GuessCandidates8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GuessCandidates20)->Unit(benchmark::kMillisecond);

} // namespace
