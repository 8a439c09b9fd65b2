// SPDX-License-Identifier: MIT
// What a customisation file does to the window, in words, and what in it is probably a mistake.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/text/codepage.h"

namespace nimbra::custom {

struct CheckResult {
  std::vector<std::string> effects;  // empty: the window stays as built in
  std::vector<std::string> warnings;
};

CheckResult check_custom(std::span<const uint8_t> file, platform::CodePage page);

}  // namespace nimbra::custom
