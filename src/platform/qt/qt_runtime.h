// The runtime services of a desktop session: the locale's language and short date, and one
// running instance per user and machine directory that later instances can ask to come forward.
#pragma once

#include <QLockFile>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "platform/qt/activation_channel.h"
#include "platform/qt/instance_names.h"
#include "platform/runtime.h"

namespace nimbra::qt {

class QtRuntime : public platform::Runtime {
 public:
  // Called on the Qt thread when another process asks for the window with this title.
  using ActivateHandler = std::function<void(const std::string& title)>;

  QtRuntime(const std::filesystem::path& machine_directory, ActivateHandler on_activate);

  platform::Language ui_language() override;

  // True while another live process of this user holds the instance for the machine directory;
  // otherwise this process takes it and starts answering activation requests.
  bool previous_instance() override;

  // Asks the holder of the instance to bring the window with this title to the front.
  void activate_by_title(std::string_view title) override;

  std::string short_date(const platform::LocalDateTime& date) override;

 private:
  InstanceNames names_;
  QLockFile lock_;
  ActivationServer server_;  // after the lock: stops listening before the lock is released
};

}  // namespace nimbra::qt
