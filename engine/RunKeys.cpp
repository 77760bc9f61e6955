// SPDX-License-Identifier: GPL-3.0-or-later
// A run's keys: the typed form's, and the normalization forms' that differ from it.
#include "engine/RunKeys.h"

#include "crypto/passphrase_key.h"
#include "engine/LogMessages.h"
#include "platform/Log.h"

#include <cstring>

namespace engine {

namespace {

// The digests of the forms carried so far, and the text of the form in hand: in a secret slot each, wiped
// when the keys are made.
struct Digests {
    uint8_t digest[RunKeys::kMaxKeys][passphrase::kDigestSize];
};
struct FormText {
    char16_t units[passphrase::kMaxLength];
};

} // namespace

std::shared_ptr<const RunKeys> RunKeys::forPassphrase(std::u16string_view passphrase, uint8_t direction,
                                                      std::string* refusal) {
    Secret<Digests> digests;
    uint8_t(&digest)[kMaxKeys][passphrase::kDigestSize] = digests.get().digest;
    const passphrase::Result typed = passphrase::digest(passphrase, digest[0]);
    if (typed != passphrase::Result::Ok) {
        *refusal = passphrase::describe(typed);
        return nullptr;
    }
    std::shared_ptr<RunKeys> keys(new RunKeys(direction));
    keys->m_forms[0] = PassphraseForm::Typed;
    keys->m_count = 1;

    if (direction == twofish::DIR_DECRYPT) {
        Secret<FormText> text;
        for (const PassphraseForm form : {PassphraseForm::Nfc, PassphraseForm::Nfd}) {
            const std::size_t slot = keys->m_count;
            const auto length = normalizedForm(passphrase, form, text.get().units);
            if (!length ||
                passphrase::digest({text.get().units, *length}, digest[slot]) != passphrase::Result::Ok) {
                continue;
            }
            bool known = false;
            for (std::size_t earlier = 0; earlier < slot; ++earlier) {
                known = known || std::memcmp(digest[earlier], digest[slot], passphrase::kDigestSize) == 0;
            }
            if (!known) {
                keys->m_forms[slot] = form;
                keys->m_count = slot + 1;
            }
        }
    }

    for (std::size_t index = 0; index < keys->m_count; ++index) {
        auto& key = keys->m_keys[index].emplace();
        if (passphrase::prepareKey(key.get(), direction, digest[index]) != twofish::TRUE) {
            platform::log(logmsg::kMakeKeyFailed);
            *refusal = logmsg::kMakeKeyFailed;
            return nullptr;
        }
    }
    return keys;
}

} // namespace engine
