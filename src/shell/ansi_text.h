// SPDX-License-Identifier: MIT
// Text crossing into files and the registry is in the machine's ANSI code page.
#pragma once

#include <string>
#include <string_view>

#include "platform/text/codepage.h"
#include "shell/app_context.h"

namespace nimbra::shell {

inline platform::CodePage ansi_code_page(AppContext& app) {
  return static_cast<platform::CodePage>(app.platform.kernel.GetACP());
}

inline std::string to_ansi(AppContext& app, std::string_view utf8) {
  return platform::to_ansi(utf8, ansi_code_page(app));
}

inline std::string from_ansi(AppContext& app, std::string_view ansi) {
  return platform::from_ansi(ansi, ansi_code_page(app));
}

}  // namespace nimbra::shell
