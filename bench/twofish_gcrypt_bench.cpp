// SPDX-License-Identifier: GPL-3.0-or-later
// libgcrypt's Twofish-256 in CBC over the same 64 MiB, the peer our figures are read against. Its cipher is
// the published one, so only the speed compares, never the bytes.
#include "bench/cbc_buffer.h"

#include <benchmark/benchmark.h>
#include <gcrypt.h>

#include <cstdint>
#include <vector>

namespace {

// Encrypts or decrypts the buffer in place in one call per iteration.
void runGcryptCbc(benchmark::State& state, bool encrypt) {
    if (gcry_check_version(GCRYPT_VERSION) == nullptr) {
        state.SkipWithError("libgcrypt version mismatch");
        return;
    }
    gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
    gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
    gcry_cipher_hd_t handle = nullptr;
    if (gcry_cipher_open(&handle, GCRY_CIPHER_TWOFISH, GCRY_CIPHER_MODE_CBC, 0) != 0) {
        state.SkipWithError("libgcrypt has no Twofish-256-CBC");
        return;
    }
    uint8_t key[32];
    uint8_t iv[16] = {};
    for (size_t i = 0; i < sizeof key; ++i) {
        key[i] = static_cast<uint8_t>(0x9E * (i + 1));
    }
    gcry_cipher_setkey(handle, key, sizeof key);
    gcry_cipher_setiv(handle, iv, sizeof iv);
    std::vector<uint8_t> buffer = bench::cbcBuffer();
    for ([[maybe_unused]] auto _ : state) {
        const gcry_error_t error =
            encrypt ? gcry_cipher_encrypt(handle, buffer.data(), buffer.size(), nullptr, 0)
                    : gcry_cipher_decrypt(handle, buffer.data(), buffer.size(), nullptr, 0);
        if (error != 0) {
            state.SkipWithError("libgcrypt refused the buffer");
            break;
        }
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    gcry_cipher_close(handle);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(buffer.size()));
}

void BM_GcryptTwofishCbcEncryptWholeBuffer(benchmark::State& state) {
    runGcryptCbc(state, true);
}
void BM_GcryptTwofishCbcDecryptWholeBuffer(benchmark::State& state) {
    runGcryptCbc(state, false);
}

BENCHMARK(BM_GcryptTwofishCbcEncryptWholeBuffer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GcryptTwofishCbcDecryptWholeBuffer)->Unit(benchmark::kMillisecond);

} // namespace
