// SPDX-License-Identifier: MIT
// The program's look: a compact classic dialog style with a font for the user's language.
#pragma once

#include <QFont>

#include "platform/kernel.h"

namespace nimbra::qt {

// The user-interface font at the toolkit's customary 9 points. Japanese gets a CJK sans face,
// small enough for the forms' small controls and half-width katakana captions. Other languages
// get the desktop's sans-serif face: it loads in a fraction of the time and memory of a CJK
// face, and the toolkit still draws any Japanese text with one.
QFont classic_font(platform::Language language);

// Sets the style, palette and font of the whole application.
void apply_classic_look(platform::Language language);

}  // namespace nimbra::qt
