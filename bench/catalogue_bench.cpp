// SPDX-License-Identifier: MIT
// Looking up every caption, as the main window's load does once per start.
#include <benchmark/benchmark.h>

#include "shell/catalogue/catalogue.h"
#include "shell/catalogue/catalogue_table.h"

namespace {

void BM_LookUpEveryText(benchmark::State& state) {
  const nimbra::shell::Catalogue cat(nimbra::shell::Language::Japanese);
  for (auto _ : state) {
    size_t total = 0;
    for (const auto& e : nimbra::shell::catalogue_entries()) total += cat.text(e.id).size();
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(BM_LookUpEveryText);

}  // namespace
