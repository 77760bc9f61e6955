// SPDX-License-Identifier: GPL-3.0-or-later
// Four coloured bars drawn from the passphrase's digest, so that a mistyped passphrase shows as new colours.
#include "ui/ColorFeedbackView.h"

#include "crypto/passphrase_key.h"
#include "crypto/wipe.h"
#include "engine/Cryptor.h"

#include <QPainter>

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace {

constexpr QRectF kDefaultFrame(10.0, 10.0, 10.0, 10.0);
constexpr std::size_t kDigestSize = passphrase::kDigestSize;

// The component of each byte value, single-precision rounding included: a user knows the colours as they
// have always been computed. A table computed at compile time, because g++ 12 at -O2 vectorizes two or
// three such conversions side by side into code that skips the rounding to single precision.
constexpr std::array<float, 256> kComponents = [] {
    std::array<float, 256> components{};
    for (uint32_t byte = 0; byte < components.size(); ++byte) {
        components[byte] = static_cast<float>(byte * 0.001 * 4.0);
    }
    return components;
}();

std::array<QRectF, 4> barsIn(const QRectF& bounds) {
    const double width = static_cast<float>(bounds.width() * 0.25);
    std::array<QRectF, 4> bars;
    QRectF bar(bounds.x(), bounds.y(), width, bounds.height());
    for (QRectF& each : bars) {
        each = bar;
        bar.translate(width, 0.0);
    }
    return bars;
}

} // namespace

ColorFeedbackView::ColorFeedbackView(QWidget* parent) : ColorFeedbackView(kDefaultFrame, parent) {}

ColorFeedbackView::ColorFeedbackView(const QRectF& frame, QWidget* parent)
    : QWidget(parent), m_bars(barsIn(QRectF(QPointF(0.0, 0.0), frame.size()))) {
    setGeometry(frame.toRect());
}

ColorFeedbackView::~ColorFeedbackView() {
    crypto::secureWipe(m_seedBytes.data(), m_seedBytes.size());
}

void ColorFeedbackView::setCryptor(engine::Cryptor* cryptor) {
    m_cryptor = cryptor;
}

void ColorFeedbackView::giveFeedbackForString(const QString& passphrase) {
    if (m_cryptor != nullptr) {
        // The digest keys the files: only the bytes the colours need outlive this call.
        uint8_t digest[kDigestSize] = {};
        const std::u16string_view units(reinterpret_cast<const char16_t*>(passphrase.utf16()),
                                        static_cast<std::size_t>(passphrase.size()));
        const bool hashed = m_cryptor->doHashString(units, digest);
        for (std::size_t index = 0; index < m_seedBytes.size(); ++index) {
            m_seedBytes[index] = hashed ? digest[4 * index] : 0;
        }
        crypto::secureWipe(digest, sizeof digest);
        if (!hashed) {
            setHidden(true);
            return;
        }
    }
    setHidden(false);
    update();
}

void ColorFeedbackView::clearRect() {
    setHidden(true);
}

QColor ColorFeedbackView::createColorWithSeed1(uint32_t seed1, uint32_t seed2) {
    // Above 1.0 Qt would make an extended-range colour rather than full intensity.
    const auto [red, green, blue] = colorComponents(seed1, seed2);
    return QColor::fromRgbF(float(std::min(red, 1.0)), float(std::min(green, 1.0)),
                            float(std::min(blue, 1.0)));
}

std::array<double, 3> ColorFeedbackView::colorComponents(uint32_t seed1, uint32_t seed2) {
    const uint32_t sum = seed1 + seed2; // wraps, as the colours always have
    return {kComponents[seed1 % 256], kComponents[seed2 % 256], kComponents[sum % 256]};
}

std::array<QRectF, 4> ColorFeedbackView::bars() const {
    return m_bars;
}

const std::array<uint8_t, 8>& ColorFeedbackView::seedBytes() const {
    return m_seedBytes;
}

void ColorFeedbackView::paintEvent(QPaintEvent* /*event*/) {
    if (m_cryptor == nullptr) {
        return;
    }
    QPainter painter(this);
    for (std::size_t bar = 0; bar < m_bars.size(); ++bar) {
        painter.fillRect(m_bars[bar], createColorWithSeed1(m_seedBytes[2 * bar], m_seedBytes[2 * bar + 1]));
    }
}
