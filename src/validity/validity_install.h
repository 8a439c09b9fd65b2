// SPDX-License-Identifier: MIT
// Wires the validity term into the program: the stored date at start-up, the days-left notice
// when the program does not connect at start, and the Inquire button.
#pragma once

#include "shell/app_context.h"

namespace nimbra::validity {

void install_validity(shell::AppContext& app);

}  // namespace nimbra::validity
