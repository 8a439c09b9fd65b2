// SPDX-License-Identifier: MIT
// The Accelerator page: which accelerator the registry holds, the option buttons and the cache
// box, and what Apply does on this page.
#pragma once

#include "shell/app_context.h"

namespace nimbra::accel {

// Page switch: selects the option of the value stored for the connection (none for a value of
// none of the accelerators). False, after message 104, when the key cannot be opened: the page
// switch ends there.
bool ReadAppliedAccelerator(shell::AppContext& app);

// Any option clicked: Apply is enabled exactly when the option differs from the one in force.
void AccOption_Click(shell::AppContext& app);

// The cache box clicked: Apply is enabled exactly when it is checked.
void CheckCash_Click(shell::AppContext& app);

// Apply on the Accelerator page: the cache deleted when asked, the chosen value written (or
// removed for "No acceleration") and the choice saved, the browser started after a change when
// the option asks for it.
void ApplyAccelerator(shell::AppContext& app);

// The page's events: the four options and the cache box.
void wire_accelerator_page(shell::AppContext& app);

}  // namespace nimbra::accel
