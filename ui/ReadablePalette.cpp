// SPDX-License-Identifier: GPL-3.0-or-later
// The window's palette with the colours of secondary text raised to a readable contrast.
#include "ui/ReadablePalette.h"

#include "ui/StatusColors.h"

#include <initializer_list>

namespace {

// What a translucent colour looks like drawn over an opaque background.
QColor over(const QColor& color, const QColor& background) {
    const double alpha = color.alphaF();
    const auto mix = [alpha](double front, double back) { return front * alpha + back * (1.0 - alpha); };
    return QColor::fromRgbF(float(mix(color.redF(), background.redF())),
                            float(mix(color.greenF(), background.greenF())),
                            float(mix(color.blueF(), background.blueF())));
}

bool readableOnAll(const QColor& color, std::initializer_list<QColor> backgrounds) {
    for (const QColor& background : backgrounds) {
        if (contrastRatio(color, background) < kMinimumStatusContrast) {
            return false;
        }
    }
    return true;
}

// Placeholder text stands on the field's Base and, in the hint line, on the Window behind it.
QColor readablePlaceholder(const QColor& placeholder, const QColor& base, const QColor& window,
                           const QColor& text) {
    QColor color = over(placeholder, base);
    if (readableOnAll(color, {base, window})) {
        return color;
    }
    for (int pass = 0; pass < 2; ++pass) {
        color = readableOn(readableOn(color, base), window);
        if (readableOnAll(color, {base, window})) {
            return color;
        }
    }
    // Backgrounds too far apart for one shade of the placeholder's hue: the palette's own text colour.
    return text;
}

} // namespace

QPalette readablePalette(const QPalette& palette) {
    QPalette readable = palette;
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        const QColor base = palette.color(group, QPalette::Base);
        const QColor window = palette.color(group, QPalette::Window);
        const QColor placeholder = palette.color(group, QPalette::PlaceholderText);
        if (!readableOnAll(over(placeholder, base), {base}) ||
            !readableOnAll(over(placeholder, window), {window})) {
            readable.setColor(
                group, QPalette::PlaceholderText,
                readablePlaceholder(placeholder, base, window, palette.color(group, QPalette::Text)));
        }
        const QColor highlight = palette.color(group, QPalette::Highlight);
        readable.setColor(
            group, QPalette::HighlightedText,
            readableOn(over(palette.color(group, QPalette::HighlightedText), highlight), highlight));
    }
    return readable;
}
