// Row colours for the file statuses that stay readable on whatever background the palette draws them on.
#pragma once

#include <QColor>

#include <cstdint>

// The least contrast any status colour has against its background (WCAG 2 level AA for body text).
inline constexpr double kMinimumStatusContrast = 4.5;

// WCAG 2 relative luminance of the colour's sRGB value, 0 (black) to 1 (white); alpha is ignored.
double relativeLuminance(const QColor& color);
// WCAG 2 contrast ratio of two colours, 1 (the same luminance) to 21 (black on white), whichever is lighter.
double contrastRatio(const QColor& one, const QColor& other);

// `wanted` if it has `minimum` contrast against `background`; otherwise the colour of the same hue and
// saturation whose lightness is nearest to `wanted`'s and reaches it. For a minimum up to 4.58 there
// always is one, because black or white reaches that on any background. The result is opaque 8-bit sRGB.
QColor readableOn(const QColor& wanted, const QColor& background, double minimum = kMinimumStatusContrast);

// The status's colour (done green, not renamed orange, failed red) made readable on `background`; invalid
// for StatusNone and unknown codes, which keep the palette's own text colour.
QColor statusColor(int32_t code, const QColor& background);
