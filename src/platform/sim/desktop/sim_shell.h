// SPDX-License-Identifier: MIT
// The shell of a simulated program instance. Document types are associated with programs in
// machine.ini:
//
//   [shell]
//   .html = C:\Program Files\Browser\browser.exe
//   .eml = C:\Program Files\Mail\mail.exe
//
// A program exists when the machine has its file (install_file puts one there). Every URL has
// a handler. What was started and opened is recorded, in order.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "platform/shell.h"
#include "platform/sim/machine/machine_config.h"
#include "platform/sim/machine/machine_kernel.h"

namespace nimbra::sim {

struct ShellAction {
  enum class Kind { StartProgram, Open };
  Kind kind;
  std::string target;  // the program's path, or the URL or document opened
  friend bool operator==(const ShellAction&, const ShellAction&) = default;
};

class SimShell : public platform::Shell {
 public:
  SimShell(const MachineConfig& config, MachineKernel& kernel);

  intptr_t FindExecutableA(std::string_view file, std::optional<std::string_view> directory,
                           std::span<char> result) override;
  bool program_exists(std::string_view path) override;
  bool start_program(std::string_view path) override;
  intptr_t ShellExecuteA(platform::Hwnd owner, std::optional<std::string_view> verb,
                         std::string_view file, std::optional<std::string_view> parameters,
                         std::optional<std::string_view> directory, int32_t show) override;

  // Control face: the programs started and the URLs and documents opened, in order.
  const std::vector<ShellAction>& actions() const { return actions_; }

 private:
  // The program associated with the document, or the failure code.
  std::variant<std::string, intptr_t> association_of(const std::string& document);

  const MachineConfig& config_;
  MachineKernel& kernel_;
  std::vector<ShellAction> actions_;
};

// Control face: creates an empty file at the Windows path on the machine, with its folders.
bool install_file(MachineKernel& kernel, std::string_view path);

}  // namespace nimbra::sim
