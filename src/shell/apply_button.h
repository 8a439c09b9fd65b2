// SPDX-License-Identifier: MIT
// CmdApply: what Apply does depends on the page in front.
#pragma once

#include "shell/app_context.h"

namespace nimbra::shell {

void apply_current_page(AppContext& app);

}  // namespace nimbra::shell
