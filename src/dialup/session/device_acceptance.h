// SPDX-License-Identifier: MIT
// Which device names the program's entry may use: the catalogue's, compared exactly and with
// case. The NT family names a second USB adapter or cable of one model with an instance suffix
// ("... #2"), so there a USB row's name only has to begin the device name.
#pragma once

#include <string_view>

namespace nimbra::dialup {

bool device_accepted(std::string_view device_name, bool nt_family);

}  // namespace nimbra::dialup
