// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

#include "platform/kernel.h"

namespace nimbra::sim {

// Writes a date in a Windows short date picture: yyyy, yy, MM, M, dd, d; other characters are
// copied as they stand (text in single quotes literally).
std::string format_short_date(std::string_view picture, const platform::LocalDateTime& date);

}  // namespace nimbra::sim
