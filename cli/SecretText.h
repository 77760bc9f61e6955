// SPDX-License-Identifier: GPL-3.0-or-later
// A string for passphrase text that is overwritten with zeros before its memory is given back.
#pragma once

#include "crypto/wipe.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace cli {

// Room reserved up front, so that reading a passphrase of any usable length never reallocates and leaves
// no unwiped copy behind in freed memory. Longer text is refused anyway: its UTF-16 form is far above the
// engine's limit.
inline constexpr std::size_t kSecretCapacity = 4096;

template <typename Char>
class SecretText {
public:
    SecretText() { m_text.reserve(kSecretCapacity); }
    explicit SecretText(std::basic_string_view<Char> text) : SecretText() { m_text.assign(text); }
    ~SecretText() { wipe(); }

    // A move copies and wipes the source: a plain string move would leave short text in the source's
    // inline buffer.
    SecretText(SecretText&& other) : SecretText() {
        m_text.assign(other.m_text);
        other.wipe();
    }
    SecretText& operator=(SecretText&& other) {
        if (this != &other) {
            wipe();
            m_text.assign(other.m_text);
            other.wipe();
        }
        return *this;
    }
    SecretText(const SecretText&) = delete;
    SecretText& operator=(const SecretText&) = delete;

    std::basic_string_view<Char> view() const { return m_text; }
    std::size_t size() const { return m_text.size(); }
    bool empty() const { return m_text.empty(); }
    bool full() const { return m_text.size() >= kSecretCapacity; }

    void push_back(Char c) { m_text.push_back(c); }
    void pop_back() {
        m_text.back() = Char{};
        m_text.pop_back();
    }
    Char back() const { return m_text.back(); }

    void wipe() {
        crypto::secureWipe(m_text.data(), m_text.size() * sizeof(Char));
        m_text.clear();
    }

private:
    std::basic_string<Char> m_text;
};

using SecretUtf8 = SecretText<char>;
using SecretUtf16 = SecretText<char16_t>;
using SecretCodePoints = SecretText<char32_t>;

} // namespace cli
