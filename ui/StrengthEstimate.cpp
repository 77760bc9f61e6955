// SPDX-License-Identifier: GPL-3.0-or-later
// How long an attacker would take to guess a passphrase, from zxcvbn's estimate of its entropy.
#include "ui/StrengthEstimate.h"

#include "crypto/wipe.h"

#include <QByteArray>

#include <zxcvbn.h>

#include <algorithm>
#include <cmath>
#include <vector>

StrengthEstimate StrengthEstimate::of(const QString& passphrase) {
    QByteArray utf8 = passphrase.toUtf8();
    // Only these bytes reach the hash: for text beyond ASCII the rest of the UTF-8 form never counts.
    const auto keyed = static_cast<size_t>(std::min(utf8.size(), passphrase.size()));
    std::vector<char> text(utf8.constData(), utf8.constData() + keyed);
    text.push_back('\0');
    crypto::secureWipe(utf8.data(), static_cast<size_t>(utf8.size()));
    const double bits = ZxcvbnMatch(text.data(), nullptr, nullptr);
    crypto::secureWipe(text.data(), text.size());
    return StrengthEstimate(bits);
}

double StrengthEstimate::seconds() const {
    return std::exp2(m_bits) / kGuessesPerSecond;
}

bool StrengthEstimate::isWeak() const {
    return seconds() < kWarningYears * kSecondsPerYear;
}

QString StrengthEstimate::durationInWords(double seconds) {
    const auto rounded = [](double value) { return static_cast<int>(std::lround(value)); };
    constexpr double kMinute = 60;
    constexpr double kHour = 60 * kMinute;
    constexpr double kDay = 24 * kHour;
    const double years = seconds / kSecondsPerYear;
    if (seconds < 1) {
        return tr("less than a second");
    }
    // The singular apart, so that the words read right with no translation loaded.
    if (seconds < kMinute) {
        const int count = rounded(seconds);
        return count == 1 ? tr("about 1 second") : tr("about %n seconds", nullptr, count);
    }
    if (seconds < kHour) {
        const int count = rounded(seconds / kMinute);
        return count == 1 ? tr("about 1 minute") : tr("about %n minutes", nullptr, count);
    }
    if (seconds < kDay) {
        const int count = rounded(seconds / kHour);
        return count == 1 ? tr("about 1 hour") : tr("about %n hours", nullptr, count);
    }
    if (years < 1) {
        const int count = rounded(seconds / kDay);
        return count == 1 ? tr("about 1 day") : tr("about %n days", nullptr, count);
    }
    if (years < 1e3) {
        const int count = rounded(years);
        return count == 1 ? tr("about 1 year") : tr("about %n years", nullptr, count);
    }
    if (years < 1e6) {
        return tr("about %n thousand years", nullptr, rounded(years / 1e3));
    }
    if (years < 1e9) {
        return tr("about %n million years", nullptr, rounded(years / 1e6));
    }
    return tr("more than a billion years");
}

QString StrengthEstimate::verdict() const {
    const QString time = durationInWords(seconds());
    if (isWeak()) {
        return tr("Weak passphrase: it could be guessed in %1. A longer one, such as six random words (Edit "
                  "▸ "
                  "Suggest a Passphrase…), is far safer.")
            .arg(time);
    }
    return tr("Estimated time to guess this passphrase: %1.").arg(time);
}

QString StrengthEstimate::assumption() {
    return tr("This assumes an attacker who tries 10¹⁰ (ten billion) passphrases a second. Guessing is fast "
              "because the key is a single hash of the passphrase with no salt, so one key found opens every "
              "file encrypted with this passphrase.");
}
