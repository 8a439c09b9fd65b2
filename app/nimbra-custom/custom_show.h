// SPDX-License-Identifier: MIT
// Showing a customisation file as the distributor's INI.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/text/codepage.h"

namespace nimbra::custom {

struct ShowResult {
  std::string ini;  // build gives back the file's bytes from it, unless there are warnings
  // What the INI cannot say exactly: a short or long file, reserved bytes that are not zero,
  // texts that build would not write so, flags and check states build refuses.
  std::vector<std::string> warnings;
};

ShowResult show_custom(std::span<const uint8_t> file, platform::CodePage page);

// The file's bytes at the record's size: cut, or filled up with zeros.
std::vector<uint8_t> record_bytes(std::span<const uint8_t> file);

}  // namespace nimbra::custom
