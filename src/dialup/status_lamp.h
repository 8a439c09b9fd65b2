// SPDX-License-Identifier: MIT
// The status lamp: Timer1 asks RAS every 100 ms whether the program's entry is connected and
// shows ConnState as the lamp's colour.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/controls/controls.h"
#include "shell/app_context.h"

namespace nimbra::dialup {

inline constexpr int kStatusTimerMs = 100;

namespace lamp {
inline constexpr platform::Color kBlack = 0x000000;
inline constexpr platform::Color kGreen = 0x00FF00;
inline constexpr platform::Color kOrange = 0x0080FF;  // (255, 128, 0)
inline constexpr platform::Color kMagenta = 0xFF00FF;
inline constexpr platform::Color kRed = 0x0000FF;
}  // namespace lamp

// The lamp colour of a connection state; nothing for a state that leaves the lamp as it is.
std::optional<platform::Color> lamp_color(int32_t conn_state);

// Paints the lamp for ConnState and enables CmdAnalyze as the state allows.
void show_lamp(shell::AppContext& app);

// One tick of Timer1.
void Timer1Tick(shell::AppContext& app);

// Load step 23: CmdStop disabled, Timer1 running.
void start_status_timer(shell::AppContext& app);

}  // namespace nimbra::dialup
