// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

#include "platform/runtime.h"
#include "platform/sim/machine/machine_config.h"

namespace nimbra::sim {

// Which program instance holds the machine, and what other instances asked of it.
struct InstanceRegistry {
  const void* holder = nullptr;
  std::vector<std::string> activated_titles;
};

// Runtime services of a simulated program instance: the machine's language and short date
// format, and the single-instance rule among the instances on the same machine: an instance takes
// the machine when it starts, unless another holds it.
class SimRuntime : public platform::Runtime {
 public:
  SimRuntime(const MachineConfig& config, InstanceRegistry& instances);
  ~SimRuntime() override;

  platform::Language ui_language() override;
  bool previous_instance() override;
  void activate_by_title(std::string_view title) override;
  std::string short_date(const platform::LocalDateTime& date) override;

  // Control face: the user's desktop speaks another language than the machine's Windows.
  void set_ui_language(platform::Language language) { ui_language_ = language; }

 private:
  const MachineConfig& config_;
  platform::Language ui_language_;
  InstanceRegistry& instances_;
  bool another_holds_ = false;
};

}  // namespace nimbra::sim
