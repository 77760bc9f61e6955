// SPDX-License-Identifier: GPL-3.0-or-later
// Encrypts and decrypts one 256 MiB file in place through the file operations; memory must stay flat.
#include "engine/DecryptionOperation.h"
#include "engine/EncryptionOperation.h"
#include "engine/OperationMaster.h"
#include "engine/RunKeys.h"
#include "engine/StatusCode.h"
#include "platform/Log.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <vector>

namespace {

constexpr uint64_t kFileBytes = 256ull * 1024 * 1024;

struct LastStatus final : engine::OperationMaster {
    void updateStatus(int32_t code, int64_t) override { status = code; }
    int32_t status = engine::StatusNone;
};

std::shared_ptr<const engine::RunKeys> keyFor(uint8_t direction,
                                              std::u16string_view text = u"benchmark passphrase") {
    std::string refusal;
    return engine::RunKeys::forPassphrase(text, direction, &refusal);
}

double peakResidentMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // ru_maxrss is in KiB on Linux
}

std::filesystem::path makeFile() {
    const char* tmp = std::getenv("TMPDIR");
    const std::filesystem::path path =
        std::filesystem::path(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") / "operation-bench.dat";
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::vector<char> chunk(1 << 20);
    for (size_t i = 0; i < chunk.size(); ++i) {
        chunk[i] = static_cast<char>(i * 7 + 3);
    }
    for (uint64_t written = 0; written < kFileBytes; written += chunk.size()) {
        out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    }
    return path;
}

template <typename Operation>
void runInPlace(benchmark::State& state, uint8_t direction, bool encryptFirst) {
    const std::filesystem::path plain = makeFile();
    const std::filesystem::path encrypted = plain.string() + ".brisklet";
    const double residentBefore = peakResidentMiB();
    LastStatus master;
    for (auto _ : state) {
        state.PauseTiming();
        if (encryptFirst) {
            engine::EncryptionOperation(plain, keyFor(twofish::DIR_ENCRYPT), &master, 0).main();
        }
        state.ResumeTiming();
        Operation(encryptFirst ? encrypted : plain, keyFor(direction), &master, 0).main();
        state.PauseTiming();
        if (master.status != engine::StatusDone) {
            state.SkipWithError("the operation failed");
            break;
        }
        if (!encryptFirst) {
            std::filesystem::rename(encrypted, plain);
            std::filesystem::resize_file(plain, kFileBytes);
        }
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFileBytes));
    state.counters["peak_rss_MiB"] = peakResidentMiB();
    state.counters["rss_growth_MiB"] = peakResidentMiB() - residentBefore;
    std::filesystem::remove(plain);
    std::filesystem::remove(encrypted);
}

void BM_EncryptFile256MiB(benchmark::State& state) {
    runInPlace<engine::EncryptionOperation>(state, twofish::DIR_ENCRYPT, false);
}
void BM_DecryptFile256MiB(benchmark::State& state) {
    runInPlace<engine::DecryptionOperation>(state, twofish::DIR_DECRYPT, true);
}

// The whole decryption operation on a 256 MiB file and a wrong passphrase: open, lock, the check block,
// the refusal. Nothing of the data is read and no replacement is made, so the size must not show.
void BM_RefuseWrongPassphrase256MiB(benchmark::State& state) {
    const std::filesystem::path plain = makeFile();
    const std::filesystem::path encrypted = plain.string() + ".brisklet";
    LastStatus master;
    engine::EncryptionOperation(plain, keyFor(twofish::DIR_ENCRYPT), &master, 0).main();
    const auto wrongKey = keyFor(twofish::DIR_DECRYPT, u"not the benchmark passphrase");
    const platform::LogCapture quiet;
    for (auto _ : state) {
        engine::DecryptionOperation(encrypted, wrongKey, &master, 0).main();
        if (master.status != engine::StatusFailed) {
            state.SkipWithError("the wrong passphrase was not refused");
            break;
        }
    }
    std::filesystem::remove(encrypted);
}

BENCHMARK(BM_EncryptFile256MiB)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_DecryptFile256MiB)->Unit(benchmark::kMillisecond)->Iterations(1);
// A fixed count: the file is made once, not again for each of the library's trial runs.
BENCHMARK(BM_RefuseWrongPassphrase256MiB)->Unit(benchmark::kMicrosecond)->Iterations(2000);

} // namespace
