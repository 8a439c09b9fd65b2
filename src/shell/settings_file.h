// SPDX-License-Identifier: MIT
// The settings file nimbra1.dat in the Windows directory: read at start-up, written whole by
// Apply and by a plan change.
#pragma once

#include <cstdint>

#include "shell/app_context.h"

namespace nimbra::shell {

// Reads the file into the settings record and fills the user-name and password fields, the
// link-mode option and the option tree's checks. 0 when the file was read, 1 when it is absent
// (the fields then take their defaults). A file shorter than the record counts as absent; its
// bytes are kept in nimbra1.dat.short.
int32_t load_ini_up(AppContext& app);

// Writes the settings record with the company name, the two fields' texts and the link mode
// taken from the window over the start of the file. Always 0; a failed write leaves the previous
// file as it was.
int32_t save_ini_up(AppContext& app);

}  // namespace nimbra::shell
