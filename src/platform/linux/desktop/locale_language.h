// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

#include "platform/runtime.h"

namespace nimbra::lnx {

// The user-interface language of a POSIX locale: Japanese when the first of LC_ALL, LC_MESSAGES
// and LANG that is set and not empty starts with "ja", English otherwise.
platform::Language language_from_locale();

// The same rule for one locale name ("ja_JP.UTF-8", "C", ...).
platform::Language language_of_locale_name(std::string_view name);

}  // namespace nimbra::lnx
