// SPDX-License-Identifier: MIT
// The kernel of a machine directory: its version record and Windows directory from machine.ini,
// its files under windows/ and program/ (the rest of drive C: under drive_c/), and time from the
// given clock.
#pragma once

#include <filesystem>
#include <optional>

#include "platform/clock.h"
#include "platform/kernel.h"
#include "platform/sim/machine/machine_config.h"

namespace nimbra::sim {

inline constexpr std::string_view kProgramDirectory = "C:\\Program Files\\Nimbra";

class MachineKernel : public platform::Kernel {
 public:
  MachineKernel(const MachineConfig& config, platform::Clock& clock);

  bool GetVersionExA(std::span<uint8_t> record) override;
  uint32_t GetWindowsDirectoryA(std::span<char> buffer) override;
  uint32_t GetACP() override;
  platform::Language system_language() override;
  std::string program_directory() override;
  // "TEMP" in the Windows directory, private to the machine's user (0700).
  std::string temp_directory() override;
  void Sleep(uint32_t ms) override;
  uint64_t tick_count_ms() override;
  platform::LocalDateTime local_now() override;
  bool file_exists(std::string_view path) override;
  std::optional<std::vector<uint8_t>> read_file(std::string_view path, size_t max_bytes) override;
  // A failed write is told on standard error, as the program has no message for it.
  bool write_file(std::string_view path, std::span<const uint8_t> bytes,
                  platform::FileAccess access) override;
  bool write_file_start(std::string_view path, std::span<const uint8_t> bytes,
                        platform::FileAccess access) override;
  bool delete_file(std::string_view path) override;

  // The host path of a Windows path on drive C: (the Windows and program directories have their
  // own folders), matching existing names case-insensitively as Windows does; nothing for other
  // drives, relative paths and paths with "." or "..".
  std::optional<std::filesystem::path> host_path(std::string_view path) const;

 private:
  const MachineConfig& config_;
  platform::Clock& clock_;
};

}  // namespace nimbra::sim
