// SPDX-License-Identifier: GPL-3.0-or-later
// Six words drawn at random, without bias, from the EFF long word list of 7,776 words.
#include "ui/PassphraseSuggestion.h"

#include "crypto/wipe.h"
#include "platform/SecureRandom.h"

#include <QFile>
#include <QString>

#include <limits>

const QStringList& PassphraseSuggestion::wordList() {
    static const QStringList words = [] {
        QStringList list;
        QFile file(QStringLiteral(":/wordlists/eff_large_wordlist.txt"));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            return list;
        }
        while (!file.atEnd()) {
            const QString word = QString::fromUtf8(file.readLine()).trimmed();
            if (!word.isEmpty()) {
                list.append(word);
            }
        }
        return list;
    }();
    return words;
}

std::optional<uint32_t> PassphraseSuggestion::uniformBelow(uint32_t bound, const RandomBytes& random) {
    if (bound == 0) {
        return std::nullopt;
    }
    constexpr uint64_t kRange = uint64_t{std::numeric_limits<uint32_t>::max()} + 1;
    // Draws below this fall into whole copies of [0, bound); those above would favour the small values.
    const uint64_t limit = kRange - kRange % bound;
    for (;;) {
        uint32_t value = 0;
        if (!random(&value, sizeof value)) {
            return std::nullopt;
        }
        if (value < limit) {
            const uint32_t index = value % bound;
            crypto::secureWipe(&value, sizeof value);
            return index;
        }
    }
}

std::optional<QStringList> PassphraseSuggestion::draw(const RandomBytes& random) {
    const QStringList& list = wordList();
    if (list.isEmpty()) {
        return std::nullopt;
    }
    QStringList words;
    for (int i = 0; i < kWords; ++i) {
        const std::optional<uint32_t> index = uniformBelow(static_cast<uint32_t>(list.size()), random);
        if (!index) {
            return std::nullopt;
        }
        words.append(list.at(static_cast<qsizetype>(*index)));
    }
    return words;
}

std::optional<QStringList> PassphraseSuggestion::draw() {
    return draw([](void* dest, std::size_t length) { return platform::secureRandomBytes(dest, length); });
}
