// Twofish variant throughput in CBC over 64 MiB: one 128-bit call per block, and one call for the buffer.
#include "crypto/twofish.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

constexpr int32_t kBufferBytes = 64 * 1024 * 1024;
constexpr int32_t kBlockBytes = twofish::kBlockBits / 8;

using BlockFunction = int32_t (*)(twofish::cipherInstance*, twofish::keyInstance*, const uint8_t*, int32_t,
                                  uint8_t*);

twofish::keyInstance benchKey(uint8_t direction) {
    twofish::keyInstance key{};
    twofish::makeKey(&key, direction, 256, nullptr);
    for (uint32_t i = 0; i < 8; ++i) {
        key.key32[i] = 0x9E3779B9u * (i + 1);
    }
    twofish::computeKeySchedule(&key);
    return key;
}

void runCbc(benchmark::State& state, BlockFunction function, uint8_t direction, int32_t bytesPerCall) {
    twofish::keyInstance key = benchKey(direction);
    twofish::cipherInstance cipher{};
    twofish::cipherInit(&cipher, twofish::MODE_CBC, nullptr);
    std::vector<uint8_t> buffer(kBufferBytes);
    for (size_t i = 0; i < buffer.size(); ++i) {
        buffer[i] = static_cast<uint8_t>(i * 131);
    }
    const int32_t bitsPerCall = bytesPerCall * 8;
    for (auto _ : state) {
        for (int32_t offset = 0; offset < kBufferBytes; offset += bytesPerCall) {
            if (function(&cipher, &key, buffer.data() + offset, bitsPerCall, buffer.data() + offset) !=
                bitsPerCall) {
                state.SkipWithError("bad number of bits processed");
                return;
            }
        }
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kBufferBytes);
}

void BM_TwofishCbcEncryptPerBlock(benchmark::State& state) {
    runCbc(state, twofish::blockEncrypt, twofish::DIR_ENCRYPT, kBlockBytes);
}
void BM_TwofishCbcEncryptWholeBuffer(benchmark::State& state) {
    runCbc(state, twofish::blockEncrypt, twofish::DIR_ENCRYPT, kBufferBytes);
}
void BM_TwofishCbcDecryptPerBlock(benchmark::State& state) {
    runCbc(state, twofish::blockDecrypt, twofish::DIR_DECRYPT, kBlockBytes);
}
void BM_TwofishCbcDecryptWholeBuffer(benchmark::State& state) {
    runCbc(state, twofish::blockDecrypt, twofish::DIR_DECRYPT, kBufferBytes);
}

BENCHMARK(BM_TwofishCbcEncryptPerBlock)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TwofishCbcEncryptWholeBuffer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TwofishCbcDecryptPerBlock)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TwofishCbcDecryptWholeBuffer)->Unit(benchmark::kMillisecond);

} // namespace
