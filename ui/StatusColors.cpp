// SPDX-License-Identifier: GPL-3.0-or-later
// Row colours for the file statuses that stay readable on whatever background the palette draws them on.
#include "ui/StatusColors.h"

#include "engine/StatusCode.h"

#include <algorithm>
#include <cmath>

namespace {

double linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

// Lightness 0 is black and 1 white whatever the hue, which is what makes the search below always succeed.
QColor withLightness(const QColor& hsl, double lightness) {
    const QColor color = QColor::fromHslF(hsl.hslHueF(), hsl.hslSaturationF(), float(lightness));
    return QColor(color.rgb());
}

} // namespace

double relativeLuminance(const QColor& color) {
    const QColor rgb = color.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
}

double contrastRatio(const QColor& one, const QColor& other) {
    const double a = relativeLuminance(one);
    const double b = relativeLuminance(other);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor readableOn(const QColor& wanted, const QColor& background, double minimum) {
    const QColor start(wanted.rgb());
    if (contrastRatio(start, background) >= minimum) {
        return start;
    }
    const QColor hsl = start.toHsl();
    const double lightness = hsl.lightnessF();
    const bool darkerReaches = contrastRatio(Qt::black, background) >= minimum;
    const bool lighterReaches = contrastRatio(Qt::white, background) >= minimum;
    if (!darkerReaches && !lighterReaches) {
        return contrastRatio(Qt::black, background) >= contrastRatio(Qt::white, background)
                   ? QColor(Qt::black)
                   : QColor(Qt::white);
    }
    // Away from the background where that reaches the minimum: a colour darker than its background gets
    // darker still.
    const bool darkerFirst = relativeLuminance(start) <= relativeLuminance(background);
    const bool darker = darkerFirst ? darkerReaches : !lighterReaches;
    // Luminance grows with lightness at a fixed hue and saturation, so the nearest lightness that reaches the
    // minimum can be bisected: `failing` never reaches it, `reaching` always does.
    double failing = lightness;
    double reaching = darker ? 0.0 : 1.0;
    for (int step = 0; step < 24; ++step) {
        const double middle = (failing + reaching) / 2.0;
        if (contrastRatio(withLightness(hsl, middle), background) >= minimum) {
            reaching = middle;
        } else {
            failing = middle;
        }
    }
    return withLightness(hsl, reaching);
}

StatusTone statusTone(int32_t code) {
    switch (code) {
    case engine::StatusDone:
        return StatusTone::Success;
    case engine::StatusNotRenamed:
        return StatusTone::Caution;
    case engine::StatusFailed:
        return StatusTone::Failure;
    default:
        return StatusTone::Neutral;
    }
}

StatusTone statusTone(const RowStatus& status) {
    if (status.phase != RowPhase::Settled) {
        return StatusTone::Neutral;
    }
    if (!status.check) {
        // A rewrite a recovery will complete is no plain failure: the same tone as a check's "pending".
        return awaitsCompletion(status) ? StatusTone::Caution : statusTone(status.code);
    }
    switch (*status.check) {
    case CheckAnswer::Opens:
        return StatusTone::Success;
    case CheckAnswer::RewritePending:
        return StatusTone::Caution;
    case CheckAnswer::DoesNotOpen:
    case CheckAnswer::NotEncrypted:
    case CheckAnswer::Unreadable:
        return StatusTone::Failure;
    case CheckAnswer::NotChecked:
        break;
    }
    return StatusTone::Neutral;
}

QColor toneColor(StatusTone tone, const QColor& background) {
    switch (tone) {
    case StatusTone::Success:
        return readableOn(QColor(0, 128, 0), background);
    case StatusTone::Caution:
        return readableOn(QColor(230, 126, 0), background);
    case StatusTone::Failure:
        return readableOn(QColor(220, 0, 0), background);
    case StatusTone::Neutral:
        break;
    }
    return {};
}

QColor statusColor(int32_t code, const QColor& background) {
    return toneColor(statusTone(code), background);
}
