// SPDX-License-Identifier: GPL-3.0-or-later
// Twofish variant throughput in CBC over 64 MiB: one 128-bit call per block, and one call for the buffer
// with each decryption path this CPU runs.
#include "bench/cbc_buffer.h"
#include "crypto/twofish.h"
#include "crypto/twofish_paths.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr int32_t kBufferBytes = static_cast<int32_t>(bench::kCbcBufferBytes);
constexpr int32_t kBlockBytes = twofish::kBlockBits / 8;

twofish::keyInstance benchKey(uint8_t direction) {
    twofish::keyInstance key{};
    twofish::makeKey(&key, direction, 256, nullptr);
    for (uint32_t i = 0; i < 8; ++i) {
        key.key32[i] = 0x9E3779B9u * (i + 1);
    }
    twofish::computeKeySchedule(&key);
    return key;
}

// Runs the buffer through `function` in place, `bytesPerCall` at a time.
template <typename Function>
void runCbc(benchmark::State& state, Function function, uint8_t direction, int32_t bytesPerCall) {
    twofish::keyInstance key = benchKey(direction);
    twofish::cipherInstance cipher{};
    twofish::cipherInit(&cipher, twofish::MODE_CBC, nullptr);
    std::vector<uint8_t> buffer = bench::cbcBuffer();
    const int32_t bitsPerCall = bytesPerCall * 8;
    for ([[maybe_unused]] auto _ : state) {
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
void BM_TwofishCbcDecryptWholeBuffer(benchmark::State& state, twofish::DecryptPath path) {
    if (!twofish::decryptPathSupported(path)) {
        state.SkipWithError((std::string(twofish::decryptPathName(path)) + " is not supported here").c_str());
        return;
    }
    auto function = [path](twofish::cipherInstance* cipher, twofish::keyInstance* key, const uint8_t* input,
                           int32_t inputLen, uint8_t* outBuffer) {
        return twofish::blockDecryptWith(path, cipher, key, input, inputLen, outBuffer);
    };
    runCbc(state, function, twofish::DIR_DECRYPT, kBufferBytes);
}

BENCHMARK(BM_TwofishCbcEncryptPerBlock)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TwofishCbcEncryptWholeBuffer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TwofishCbcDecryptPerBlock)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TwofishCbcDecryptWholeBuffer, OneBlock, twofish::DecryptPath::OneBlock)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TwofishCbcDecryptWholeBuffer, Scalar4, twofish::DecryptPath::Scalar4)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TwofishCbcDecryptWholeBuffer, Avx2, twofish::DecryptPath::Avx2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TwofishCbcDecryptWholeBuffer, Avx512, twofish::DecryptPath::Avx512)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TwofishCbcDecryptWholeBuffer, Avx512Vbmi, twofish::DecryptPath::Avx512Vbmi)
    ->Unit(benchmark::kMillisecond);

} // namespace
