// SPDX-License-Identifier: GPL-3.0-or-later
// Four coloured bars drawn from the passphrase's digest, so that a mistyped passphrase shows as new colours.
#pragma once

#include <QColor>
#include <QRectF>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>

namespace engine {
class Cryptor;
} // namespace engine

// The bars are fixed when the view is made, from its size then (a resize does not move them): four of a
// quarter of the width each, side by side, full height, with no gap, outline or background. The digest
// comes from the Cryptor, the same one that keys a run; while the view has no Cryptor it draws nothing.
class ColorFeedbackView : public QWidget {
    Q_OBJECT

public:
    // A 10 x 10 view at (10, 10).
    explicit ColorFeedbackView(QWidget* parent = nullptr);
    // A view at frame (rounded to whole pixels), with bars from the frame's exact size.
    explicit ColorFeedbackView(const QRectF& frame, QWidget* parent = nullptr);
    // Wipes the digest bytes it kept.
    ~ColorFeedbackView() override;

    // Not owned; it must outlive the view or be replaced by null first.
    void setCryptor(engine::Cryptor* cryptor);
    // Keeps the digest bytes the bars are drawn from, shows the view and redraws it. Without a Cryptor the
    // bytes stay as they were. A passphrase that cannot be turned into a key (too long, an unpaired
    // surrogate) hides the view and forgets the bytes, so no earlier passphrase's colours stay on show.
    void giveFeedbackForString(const QString& passphrase);
    // Hides the view; the bytes are kept.
    void clearRect();

    // The colour of one bar, its components limited to 1.0 for Qt.
    static QColor createColorWithSeed1(uint32_t seed1, uint32_t seed2);
    // Red, green and blue as computed, up to 1.02 for the bytes 251 to 255: seed1's low byte, seed2's low
    // byte and the low byte of their 32-bit sum, each times 0.001 times 4.0, rounded to single precision.
    static std::array<double, 3> colorComponents(uint32_t seed1, uint32_t seed2);

    std::array<QRectF, 4> bars() const;
    // The only digest bytes the colours depend on: bytes 0, 4, 8, ..., 28, the low bytes of the digest's
    // eight little-endian words. Bar k takes its seeds from entries 2k and 2k + 1.
    const std::array<uint8_t, 8>& seedBytes() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::array<uint8_t, 8> m_seedBytes{};
    engine::Cryptor* m_cryptor = nullptr;
    std::array<QRectF, 4> m_bars;
};
