// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <span>

namespace nimbra::shell {

struct CatalogueEntry {
  uint16_t id;
  const char* english;
  const char* japanese;
};

// Every numbered text, ordered by number.
std::span<const CatalogueEntry> catalogue_entries();

}  // namespace nimbra::shell
