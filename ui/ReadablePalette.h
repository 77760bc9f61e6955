// SPDX-License-Identifier: GPL-3.0-or-later
// The window's palette with the colours of secondary text raised to a readable contrast.
#pragma once

#include <QPalette>

// The palette with its placeholder text (the passphrase field's hint, the hint line under the list) and
// its selected-row text made to reach kMinimumStatusContrast (ui/StatusColors.h) against every background
// they are drawn on, in the active and inactive groups; disabled text is exempt, as WCAG exempts it. Only
// colours that fall short change, and they keep their hue. A placeholder colour drawn translucent is
// judged, and replaced, by what it looks like over its background.
QPalette readablePalette(const QPalette& palette);
