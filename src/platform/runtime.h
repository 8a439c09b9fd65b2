// SPDX-License-Identifier: MIT
// Runtime services of the language runtime: the user-interface language, the previous-instance
// test with activation by title, and the system's short date.
#pragma once

#include <string>
#include <string_view>

#include "platform/kernel.h"

namespace nimbra::platform {

class Runtime {
 public:
  virtual ~Runtime() = default;

  virtual Language ui_language() = 0;

  // True when another instance of the program is already running on this machine.
  virtual bool previous_instance() = 0;

  // Brings the running instance's window with this title to the front.
  virtual void activate_by_title(std::string_view title) = 0;

  // The date written in the system's short date format.
  virtual std::string short_date(const LocalDateTime& date) = 0;
};

}  // namespace nimbra::platform
