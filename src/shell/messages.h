// SPDX-License-Identifier: MIT
#pragma once

#include "shell/app_context.h"

namespace nimbra::shell {

// Shows catalogue message `id` in an OK box titled with the program's title (message 1001).
void show_message(AppContext& app, int id);

// Shows message `id`, then ends the program.
[[noreturn]] void fail_with_message(AppContext& app, int id);

}  // namespace nimbra::shell
