// SPDX-License-Identifier: MIT
// The validity file "nimbral.dat" in the Windows directory: the 9-byte image of LimitDate, the
// date's ANSI text, a NUL, and whatever an earlier, longer date left after it.
#pragma once

#include <string_view>

#include "shell/app_context.h"

namespace nimbra::validity {

// Start-up: LblLimit shows the stored date, or nothing when there is no readable file.
void load_limit(shell::AppContext& app);

// Stores the date text in LimitDate and writes the field over the start of the file. A date
// that does not fit the field's 8 characters is stored in its YY/MM/DD form.
void save_limit(shell::AppContext& app, std::string_view inLimitDate);

}  // namespace nimbra::validity
