// SPDX-License-Identifier: GPL-3.0-or-later
// The keys a run tries on each file, in order: the passphrase as typed, then for a decryption the forms of
// it that key differently.
#pragma once

#include "crypto/twofish.h"
#include "engine/PassphraseForms.h"
#include "engine/Secret.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace engine {

// Read only once made, so that a run's operations share it across threads; each operation works on a copy
// of the key it uses.
class RunKeys {
public:
    static constexpr std::size_t kMaxKeys = 3;

    // Key schedules for `direction` (twofish::DIR_ENCRYPT or DIR_DECRYPT). An encryption carries the typed
    // form alone, unchanged. A decryption carries it first, then its NFC form, then its NFD form, each only
    // when its key differs from every key before it: only the first N bytes of a form's UTF-8 are hashed, N
    // its UTF-16 length, so forms that differ beyond that prefix give one key, carried once. A form longer
    // than passphrase::kMaxLength units is left out, as no file was ever keyed by it. Null, with `refusal`
    // set to a sentence for the user, when the typed form cannot be turned into a key or the key schedule
    // cannot be made; the latter is logged.
    static std::shared_ptr<const RunKeys> forPassphrase(std::u16string_view passphrase, uint8_t direction,
                                                        std::string* refusal);

    uint8_t direction() const { return m_direction; }
    // 1 to kMaxKeys.
    std::size_t count() const { return m_count; }
    const twofish::keyInstance& key(std::size_t index) const { return m_keys.at(index)->get(); }
    PassphraseForm form(std::size_t index) const { return m_forms.at(index); }

private:
    explicit RunKeys(uint8_t direction) : m_direction(direction) {}

    const uint8_t m_direction;
    std::size_t m_count = 0;
    std::array<std::optional<Secret<twofish::keyInstance>>, kMaxKeys> m_keys;
    std::array<PassphraseForm, kMaxKeys> m_forms{};
};

} // namespace engine
