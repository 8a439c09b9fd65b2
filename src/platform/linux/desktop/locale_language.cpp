// SPDX-License-Identifier: MIT
#include "platform/linux/desktop/locale_language.h"

#include <cstdlib>

namespace nimbra::lnx {

platform::Language language_of_locale_name(std::string_view name) {
  return name.starts_with("ja") ? platform::Language::Japanese : platform::Language::English;
}

platform::Language language_from_locale() {
  for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(var);
    if (value && *value) return language_of_locale_name(value);
  }
  return platform::Language::English;
}

}  // namespace nimbra::lnx
