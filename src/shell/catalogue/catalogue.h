// SPDX-License-Identifier: MIT
// The numbered message texts in the user-interface language, fixed for the life of the process.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/runtime.h"

namespace nimbra::shell {

using platform::Language;

class Catalogue {
 public:
  // English unless the user-interface language is Japanese.
  explicit Catalogue(Language ui_language);

  Language language() const { return language_; }

  // The text of message `id`; empty for a number the catalogue does not have.
  std::string_view text(int id) const;
  std::string str(int id) const { return std::string(text(id)); }

 private:
  Language language_;
};

// A number as composed texts show it: decimal, one blank in place of a plus sign, a minus sign
// for negatives (633 -> " 633", -5 -> "-5").
std::string compose_number(int64_t n);

}  // namespace nimbra::shell
