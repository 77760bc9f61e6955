// SPDX-License-Identifier: GPL-3.0-or-later
// How long an attacker would take to guess a passphrase, from zxcvbn's estimate of its entropy.
#pragma once

#include <QCoreApplication>
#include <QString>

// The key of a file is one unsalted hash of the passphrase, so each guess costs an attacker a single hash,
// and one key found opens every file encrypted with that passphrase. 10^10 guesses a second is a fair
// attacker for that. The estimate warns; nothing here refuses a passphrase.
class StrengthEstimate {
    Q_DECLARE_TR_FUNCTIONS(StrengthEstimate)

public:
    static constexpr double kGuessesPerSecond = 1e10;
    static constexpr double kSecondsPerYear = 365.25 * 24 * 3600;
    // Weaker than this is warned about: 10^4 years at kGuessesPerSecond, about 71.4 bits.
    static constexpr double kWarningYears = 1e4;

    // zxcvbn's entropy of the bytes that key a file: the first N bytes of the passphrase's UTF-8 form, N
    // being its length in UTF-16 code units (crypto/passphrase_key.h). The copy handed to zxcvbn is wiped.
    static StrengthEstimate of(const QString& passphrase);
    explicit StrengthEstimate(double bits) : m_bits(bits) {}

    double bits() const { return m_bits; }
    // 2^bits / kGuessesPerSecond.
    double seconds() const;
    bool isWeak() const;

    // "less than a second", "about 3 hours", "about 701 thousand years", "more than a billion years".
    static QString durationInWords(double seconds);
    // The estimated time, and for a weak passphrase a plain warning.
    QString verdict() const;
    // What the estimate assumes about an attacker, and why guessing this format's key is fast.
    static QString assumption();

private:
    double m_bits;
};
