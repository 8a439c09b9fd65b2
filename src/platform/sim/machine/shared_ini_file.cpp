// SPDX-License-Identifier: MIT
#include "platform/sim/machine/shared_ini_file.h"

#include <system_error>

#include "platform/host/file_io.h"
#include "platform/host/file_lock.h"

namespace nimbra::sim {

bool update_shared_ini(const std::filesystem::path& file, size_t max_bytes, unsigned mode,
                       const std::function<bool(platform::IniFile&)>& change) {
  const auto refuse = [&file](std::errc why) {
    platform::report_failed_save(file, std::make_error_code(why));
    return false;
  };
  const platform::FileLock lock(file, platform::FileLock::Mode::Exclusive);
  if (!lock.held()) return refuse(std::errc::no_lock_available);
  std::error_code ec;
  const bool exists = std::filesystem::exists(file, ec);
  if (ec) return refuse(std::errc::io_error);
  // One byte over the limit, so that a longer file is refused rather than cut.
  const auto text = exists ? platform::read_text_file(file, max_bytes + 1) : std::string();
  if (!text) return refuse(std::errc::io_error);
  if (text->size() > max_bytes) return refuse(std::errc::file_too_large);
  platform::IniFile ini = platform::IniFile::parse(*text);
  if (!change(ini)) return true;
  std::error_code why;
  if (!platform::write_text_file_atomic(file, ini.format(), mode, &why)) {
    platform::report_failed_save(file, why);
    return false;
  }
  return true;
}

}  // namespace nimbra::sim
