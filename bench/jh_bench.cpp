// SPDX-License-Identifier: GPL-3.0-or-later
// Throughput of JH-256 over a large buffer, the cost that bounds hashing whole files.
#include "crypto/jh.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

void BM_Jh256LargeBuffer(benchmark::State& state) {
    constexpr size_t kBufferBytes = size_t{64} << 20;
    std::vector<uint8_t> buffer(kBufferBytes);
    for (size_t i = 0; i < buffer.size(); ++i) {
        buffer[i] = static_cast<uint8_t>(i * 131 + 7);
    }
    uint8_t digest[32];
    for (auto _ : state) {
        jh::Hash(256, buffer.data(), jh::DataLength{kBufferBytes} * 8, digest);
        benchmark::DoNotOptimize(digest);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kBufferBytes));
}
BENCHMARK(BM_Jh256LargeBuffer)->Unit(benchmark::kMillisecond);

} // namespace
