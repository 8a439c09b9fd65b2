// SPDX-License-Identifier: MIT
// The main window's two links: the support mail goes to the shell's default action at once; the
// home page opens through the link's hyperlink service, after a warning when the program's own
// connection is not up.
#pragma once

#include "shell/app_context.h"

namespace nimbra::shell {

void KorvoLink1_Click(AppContext& app);
void KorvoLink2_Click(AppContext& app);

}  // namespace nimbra::shell
