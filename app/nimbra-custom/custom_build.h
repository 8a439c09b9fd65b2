// SPDX-License-Identifier: MIT
// Making the 1716-byte customisation file from the distributor's INI.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "custom_fields.h"
#include "platform/text/codepage.h"

namespace nimbra::custom {

struct Refusal {
  size_t line;  // counting from 1
  std::string reason;
};

struct BuildResult {
  std::optional<std::array<uint8_t, CustomRecord::kSize>> image;  // only when nothing is refused
  std::vector<Refusal> refusals;                                  // in the order of the lines
};

// Reads the INI text (UTF-8, an optional byte-order mark) and encodes its texts in `page`.
// Every line that cannot be taken as it is is refused with its reason; then there is no image.
BuildResult build_custom(std::string_view ini_text, platform::CodePage page);

}  // namespace nimbra::custom
