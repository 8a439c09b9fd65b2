// SPDX-License-Identifier: MIT
#include "platform/sim/desktop/sim_runtime.h"

#include "platform/sim/desktop/short_date.h"

namespace nimbra::sim {

SimRuntime::SimRuntime(const MachineConfig& config, InstanceRegistry& instances)
    : config_(config),
      ui_language_(config.language),
      instances_(instances),
      another_holds_(instances.holder != nullptr) {
  if (!another_holds_) instances_.holder = this;
}

SimRuntime::~SimRuntime() {
  if (instances_.holder == this) instances_.holder = nullptr;
}

platform::Language SimRuntime::ui_language() {
  return ui_language_;
}

bool SimRuntime::previous_instance() {
  return another_holds_;
}

void SimRuntime::activate_by_title(std::string_view title) {
  instances_.activated_titles.emplace_back(title);
}

std::string SimRuntime::short_date(const platform::LocalDateTime& date) {
  return format_short_date(config_.short_date_format, date);
}

}  // namespace nimbra::sim
