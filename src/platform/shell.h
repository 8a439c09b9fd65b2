// SPDX-License-Identifier: MIT
// The shell: which program opens a document, starting a program, and opening a URL or a
// document with its default handler. Paths the logic passes are Windows style; the program
// paths the shell gives back are opaque to the logic and only handed back to the shell.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "platform/window.h"

namespace nimbra::platform {

// Results of FindExecutableA and ShellExecuteA: above 32 is success, these are failures.
inline constexpr intptr_t SE_ERR_FNF = 2;       // the document does not exist
inline constexpr intptr_t SE_ERR_NOASSOC = 31;  // no program is associated with it
inline constexpr intptr_t kShellSuccess = 42;   // the instance value a success returns

class Shell {
 public:
  virtual ~Shell() = default;

  // Writes the path of the program associated with `file`'s type into `result`, NUL-terminated,
  // and returns a value above 32. Fails with SE_ERR_FNF when the document does not exist and
  // with SE_ERR_NOASSOC when no program is associated with it or its path does not fit
  // `result`; a failure leaves `result` untouched. A relative `file` is taken in `directory`.
  virtual intptr_t FindExecutableA(std::string_view file, std::optional<std::string_view> directory,
                                   std::span<char> result) = 0;

  // True when `path` names an existing file now.
  virtual bool program_exists(std::string_view path) = 0;

  // Starts the program at `path` with a normal, focused window and no arguments; false when it
  // cannot be started.
  virtual bool start_program(std::string_view path) = 0;

  // Opens `file`, a URL ("http://...", "mailto:...") or a document, with its default handler.
  // `verb` is absent or "open"; `parameters` and `directory` are not used for either, and `show`
  // is left to the handler. Returns a value above 32 on success.
  virtual intptr_t ShellExecuteA(Hwnd owner, std::optional<std::string_view> verb,
                                 std::string_view file, std::optional<std::string_view> parameters,
                                 std::optional<std::string_view> directory, int32_t show) = 0;
};

}  // namespace nimbra::platform
