// SPDX-License-Identifier: MIT
// The optional customisation file nimbra1.ssd in the Windows directory: read at entry, applied to
// the main window during its load.
#pragma once

#include <cstdint>

#include "shell/app_context.h"

namespace nimbra::shell {

// Reads the file into the customisation record and sets CustomPresent. 0 when it was read, 1
// when it is absent. A file shorter than the record counts as absent: read as zeros, its flags
// would hide nearly every control and set the TCP/IP values to 0, so the built-in defaults
// serve better. Bytes past the record are ignored.
int32_t read_custom_file(AppContext& app);

// Applies the record to the main window: texts first, then flags and check states.
void apply_custom_record(AppContext& app);

}  // namespace nimbra::shell
