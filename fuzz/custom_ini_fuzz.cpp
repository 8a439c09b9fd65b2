// SPDX-License-Identifier: MIT
// Arbitrary bytes as the distributor's INI, built in both code pages: either refused, every
// refusal on a line of the text, or a file of exactly the record's size whose INI, shown without
// warnings, builds back to the same bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "custom_build.h"
#include "custom_show.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nimbra;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const size_t lines = static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
  for (const platform::CodePage page :
       {platform::CodePage::Western, platform::CodePage::Japanese}) {
    const custom::BuildResult built = custom::build_custom(text, page);
    if (built.image.has_value() == !built.refusals.empty()) std::abort();
    for (const custom::Refusal& refusal : built.refusals) {
      if (refusal.line == 0 || refusal.line > lines || refusal.reason.empty()) std::abort();
    }
    if (!built.image) continue;
    const custom::ShowResult shown = custom::show_custom(*built.image, page);
    if (!shown.warnings.empty()) std::abort();
    const custom::BuildResult again = custom::build_custom(shown.ini, page);
    if (!again.image || *again.image != *built.image) std::abort();
  }
  return 0;
}
