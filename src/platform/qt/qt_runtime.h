// SPDX-License-Identifier: MIT
// The runtime services of a desktop session: the locale's language and short date, and one
// running instance per user and machine directory that later instances can ask to come forward.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "platform/host/file_lock.h"
#include "platform/qt/activation_channel.h"
#include "platform/qt/instance_names.h"
#include "platform/runtime.h"

namespace nimbra::qt {

class QtRuntime : public platform::Runtime {
 public:
  // Called on the Qt thread when another process asks for the window with this title.
  using ActivateHandler = std::function<void(const std::string& title)>;
  // A date in the machine's short date format; none leaves it to the system locale.
  using ShortDate = std::function<std::string(const platform::LocalDateTime& date)>;

  // Takes the instance for the machine directory unless another live process holds it: a copy
  // counts as running from its start, also while it waits at the access-code window.
  QtRuntime(const std::filesystem::path& machine_directory, ActivateHandler on_activate,
            ShortDate machine_short_date = {});

  platform::Language ui_language() override;

  // True when another live process of this user held the instance for the machine directory as
  // this one started; otherwise this process holds it and answers activation requests.
  bool previous_instance() override;

  // Asks the holder of the instance to bring the window with this title to the front.
  void activate_by_title(std::string_view title) override;

  std::string short_date(const platform::LocalDateTime& date) override;

 private:
  // Takes the lock and starts answering; true when another process holds it.
  bool claim_instance();

  InstanceNames names_;
  // An flock: the kernel lets go of it when the holder ends, however it ends, so a crashed
  // holder leaves nothing to clean up and nothing is written to take it.
  platform::FileLock lock_;
  ActivationServer server_;  // after the lock: stops listening before the lock is released
  ShortDate machine_short_date_;
  bool another_holds_ = false;
};

}  // namespace nimbra::qt
