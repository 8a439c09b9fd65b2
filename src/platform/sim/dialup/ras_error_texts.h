// SPDX-License-Identifier: MIT
// The texts of remote-access error codes, in English and Japanese (UTF-8).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/runtime.h"

namespace nimbra::sim {

// Nothing for a code the dial-up service has no text for.
std::optional<std::string_view> ras_error_text(uint32_t code, platform::Language language);

}  // namespace nimbra::sim
