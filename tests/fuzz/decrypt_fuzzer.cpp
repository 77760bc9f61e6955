// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer entry points: arbitrary bytes, lengths and count bytes through the decryption of a file in place
// (the input's layout is in decrypt_harness.h).
#include "tests/fuzz/decrypt_harness.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

namespace {

std::unique_ptr<fuzztest::DecryptHarness> g_harness;
std::filesystem::path g_scratch;

void removeScratch() {
    g_harness.reset();
    std::error_code ignored;
    std::filesystem::remove_all(g_scratch, ignored);
}

} // namespace

// Every run works in a scratch folder of its own, state directory included, so that the user's pending
// rewrites are never looked at and parallel jobs never meet.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/brisklet-fuzz.XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("decrypt_fuzzer: cannot make a scratch folder");
        std::abort();
    }
    g_scratch = pattern;
    const auto files = g_scratch / "files";
    const auto stateHome = g_scratch / "state";
    std::filesystem::create_directory(files);
    std::filesystem::create_directory(stateHome);
    ::setenv("XDG_STATE_HOME", stateHome.c_str(), 1);
    g_harness = std::make_unique<fuzztest::DecryptHarness>(files, stateHome);
    std::atexit(removeScratch);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string failure = g_harness->run({data, size});
    if (!failure.empty()) {
        std::fprintf(stderr, "decrypt_fuzzer: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
