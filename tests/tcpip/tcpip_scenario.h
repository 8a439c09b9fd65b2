// SPDX-License-Identifier: MIT
// Scenario helpers for the Optimize page: Windows 98 machines shaped by [network], typing into
// the page's boxes and reading the TCP/IP values back from the registry.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "nimbra_test/test_machine.h"
#include "platform/controls/user_edit.h"
#include "platform/sim/machine/installed_network.h"

namespace nimbra::tcpip {

inline const std::string kCard = std::string(sim::kClassNetKey) + "\\0000";
inline const std::string kAdapter1 = std::string(sim::kClassNetKey) + "\\0001";
inline const std::string kAdapter2 = std::string(sim::kClassNetKey) + "\\0002";
inline const std::string kMstcp{sim::kMstcpKey};

// A Windows 98 machine whose [network] section is `network`, with `more_ini` after it.
inline test::TestMachine machine98(std::string_view network, std::string_view more_ini = "") {
  return test::TestMachine(test::with_card(sim::WindowsVersion::Win98),
                           "[network]\n" + std::string(network) + "\n" + std::string(more_ini));
}

// Puts `text` in the box in one change, as pasting over its whole text does; the box keeps no
// more characters than its maximum length.
inline void enter(platform::TextBox& box, std::string_view text) {
  box.text = platform::fit_user_edit(box.text.get(), text, box.max_length);
}

// A text value of the machine's registry, as stored; nothing when it is not there.
inline std::optional<std::string> text_value(test::TestMachine& m, const std::string& key,
                                             std::string_view name) {
  const auto value = m.machine().registry().snapshot().value(key, name);
  if (!value || value->type != platform::REG_SZ) return std::nullopt;
  return std::string(value->data.begin(), value->data.end());
}

}  // namespace nimbra::tcpip
