// SPDX-License-Identifier: MIT
// The program's look: a compact classic dialog style with a font that renders Japanese.
#pragma once

#include <QFont>

namespace nimbra::qt {

// The user-interface font: a CJK sans face at the toolkit's customary 9 points, small enough
// for the forms' small controls and half-width katakana captions.
QFont classic_font();

// Sets the style, palette and font of the whole application.
void apply_classic_look();

}  // namespace nimbra::qt
