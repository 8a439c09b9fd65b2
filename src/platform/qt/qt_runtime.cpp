// SPDX-License-Identifier: MIT
#include "platform/qt/qt_runtime.h"

#include <unistd.h>

#include <QtDebug>
#include <chrono>

#include "platform/linux/desktop/locale_language.h"
#include "platform/qt/short_date.h"

namespace nimbra::qt {
namespace {

// How long a starting instance waits for the running one to take its request.
constexpr std::chrono::milliseconds kActivationTimeout{2000};

}  // namespace

QtRuntime::QtRuntime(const std::filesystem::path& machine_directory, ActivateHandler on_activate,
                     ShortDate machine_short_date)
    : names_(instance_names(machine_directory, ::getuid(), instance_directory())),
      lock_(names_.instance, platform::FileLock::Mode::TryExclusive),
      server_(std::move(on_activate)),
      machine_short_date_(std::move(machine_short_date)) {
  another_holds_ = claim_instance();
}

platform::Language QtRuntime::ui_language() {
  return lnx::language_from_locale();
}

bool QtRuntime::previous_instance() {
  return another_holds_;
}

bool QtRuntime::claim_instance() {
  if (!lock_.held()) {
    if (lock_.busy()) return true;
    // Without a usable lock nobody can be detected; running alone is the lesser harm.
    qWarning("Cannot create the instance lock %s", platform::lock_file_of(names_.instance).c_str());
    return false;
  }
  if (!server_.listen(names_.server_name)) {
    qWarning("Cannot listen on %s: %s", qUtf8Printable(names_.server_name),
             qUtf8Printable(server_.error_string()));
  }
  return false;
}

void QtRuntime::activate_by_title(std::string_view title) {
  if (!send_activation(names_.server_name, title, kActivationTimeout)) {
    qWarning("The running instance did not take the request for \"%.*s\"",
             static_cast<int>(title.size()), title.data());
  }
}

std::string QtRuntime::short_date(const platform::LocalDateTime& date) {
  if (machine_short_date_) return machine_short_date_(date);
  return short_date_in(QLocale::system(), date);
}

}  // namespace nimbra::qt
