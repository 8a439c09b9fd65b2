// SPDX-License-Identifier: MIT
#include "shell/catalogue/catalogue.h"

#include <algorithm>

#include "shell/catalogue/catalogue_table.h"

namespace nimbra::shell {

Catalogue::Catalogue(Language ui_language)
    : language_(ui_language == Language::Japanese ? Language::Japanese : Language::English) {}

std::string_view Catalogue::text(int id) const {
  const auto entries = catalogue_entries();
  const auto it = std::lower_bound(entries.begin(), entries.end(), id,
                                   [](const CatalogueEntry& e, int v) { return e.id < v; });
  if (it == entries.end() || it->id != id) return {};
  return language_ == Language::Japanese ? it->japanese : it->english;
}

std::string compose_number(int64_t n) {
  return n < 0 ? std::to_string(n) : " " + std::to_string(n);
}

}  // namespace nimbra::shell
