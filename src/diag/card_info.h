// SPDX-License-Identifier: MIT
// The card-information page: a measurement asks the card for its firmware, PHS number and model
// code, then for its channel levels and free channels in its model's own way, and paints the
// lamps. It blocks the user-interface thread for its fixed waits; the red status lamp and the
// cleared page are on the screen meanwhile.
#pragma once

#include "platform/controls/controls.h"
#include "shell/app_context.h"

namespace nimbra::diag {

namespace lamp_color {
inline constexpr platform::Color kMeasuring = 0x0000FF;    // red status lamp
inline constexpr platform::Color kLevelOff = 0x004000;     // dark green
inline constexpr platform::Color kLevelOn = 0x00FF00;      // green
inline constexpr platform::Color kUnavailable = 0xC0C0C0;  // light grey
inline constexpr platform::Color kFreeOff = 0x004040;      // dark olive
inline constexpr platform::Color kFreeOn = 0x00FFFF;       // yellow
}  // namespace lamp_color

// The PX-301 is asked at most this often for its field strengths; a card that never answers
// leaves every column light grey (no channel seen).
inline constexpr int kPx301Attempts = 5;

// A click of CmdAnalyze, and start-up with the measure option checked. Does nothing while
// KVAUTODL is connected, while no modem is selected, or inside a running measurement.
void CmdAnalyze_Click(shell::AppContext& app);

// Wires CmdAnalyze and the start-up measurement.
void install_card_info(shell::AppContext& app);

}  // namespace nimbra::diag
