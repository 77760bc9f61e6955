// SPDX-License-Identifier: GPL-3.0-or-later
// Row colours for the file statuses that stay readable on whatever background the palette draws them on.
#pragma once

#include "ui/StatusText.h"

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

// What a row's words mean to the user, which decides their colour: neutral words keep the palette's text
// colour, so that "Stopped, untouched" or a row in progress never looks like a failure.
enum class StatusTone { Neutral, Success, Caution, Failure };

// Done success, not renamed caution, failed failure; StatusNone and unknown codes neutral.
StatusTone statusTone(int32_t code);
// The tone of the words statusText() gives: a row in progress or waiting is neutral whatever its earlier
// outcome, a rewrite that a recovery will complete is caution, and a check's answer has its own (opens
// success, pending caution, any other refusal failure).
StatusTone statusTone(const RowStatus& status);

// The tone's colour (success green, caution orange, failure red) made readable on `background`; invalid
// for Neutral, which keeps the palette's own text colour.
QColor toneColor(StatusTone tone, const QColor& background);
// toneColor(statusTone(code), background).
QColor statusColor(int32_t code, const QColor& background);
