// SPDX-License-Identifier: GPL-3.0-or-later
// One decryption of an arbitrary file in place, with every promise about hostile input checked afterwards:
// the body of the decryption fuzzer and of the test that replays its corpus.
#pragma once

#include "crypto/twofish.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>

namespace engine {
class RunKeys;
} // namespace engine

namespace fuzztest {

// The passphrase that keys the well-formed inputs of the corpus.
inline constexpr std::u16string_view kRightPassphrase = u"fuzzing passphrase";
inline constexpr std::u16string_view kWrongPassphrase = u"another passphrase";

// How an input is read. Its first byte chooses:
//   bit 0  the passphrase to decrypt with: 0 the right one, 1 the wrong one;
//   bit 1  0: the rest of the input is the file, as it is;
//          1: the rest describes a file with a valid check block, which is built and encrypted here:
//             16 bytes IV, the final block's count byte, the 8 bytes of the check block that are not
//             compared, then the plain text: its whole blocks, and the remaining 0 to 15 bytes at the
//             start of the final block (missing bytes read as zero).
// The other bits are ignored; an empty input does nothing.
inline constexpr uint8_t kUseWrongPassphrase = 1;
inline constexpr uint8_t kBuildFromPlainText = 2;

class DecryptHarness {
public:
    // Keys are derived once here, since every input uses them. `workDirectory` must be an existing empty
    // folder for the files under test, beside which the engine keeps its journals; `stateHome` the folder
    // that XDG_STATE_HOME names, where it notes the folders that held journals.
    DecryptHarness(std::filesystem::path workDirectory, std::filesystem::path stateHome);
    ~DecryptHarness();
    DecryptHarness(const DecryptHarness&) = delete;
    DecryptHarness& operator=(const DecryptHarness&) = delete;

    // Writes the file the input gives, asks the check command's reader about it, decrypts it with one
    // DecryptionOperation and compares everything with the independent reader. Empty when every promise
    // held (a journal left beside the file is a broken one), otherwise what broke. Leaves the work folder
    // empty.
    std::string run(std::span<const uint8_t> input);

private:
    std::filesystem::path m_workDirectory;
    std::filesystem::path m_stateHome;
    twofish::keyInstance m_encryptKey;
    twofish::keyInstance m_decryptKey;
    twofish::keyInstance m_wrongDecryptKey;
    // The same two passphrases as a decryption run carries them, for the engine under test.
    std::shared_ptr<const engine::RunKeys> m_decryptKeys;
    std::shared_ptr<const engine::RunKeys> m_wrongDecryptKeys;
};

} // namespace fuzztest
