// SPDX-License-Identifier: MIT
// Arbitrary registry answers to the modem detection: every value read stays inside the 257-byte
// buffer, enumeration ends, and detection either finds exactly one modem or ends the program
// with its list inside its eleven slots.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "detect/modem_detection.h"
#include "fuzz_machine.h"
#include "input_registry.h"

namespace {

using namespace nimbra;
using fuzz::InputRegistry;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  sim::Process& process = fuzz::fuzz_process();
  platform::Platform& base = process.platform();
  InputRegistry registry(input);
  sim::SimWindow window(fuzz::fuzz_machine().scheduler());
  platform::Platform services{base.kernel, registry,   base.runtime, window,        base.comm,
                              base.ras,    base.shell, base.http,    base.url_cache};
  shell::AppContext app(services);
  const int16_t codes[] = {10, 20, 30, 130, 140};
  app.OsCode = codes[input.ConsumeIntegralInRange<size_t>(0, std::size(codes) - 1)];
  bool ended = false;
  try {
    detect::detect_modems(app);
  } catch (const sim::ProgramEnded&) {
    ended = true;
  }
  if (app.ModemCount < 0 || app.ModemCount > 11) std::abort();
  if (!ended && app.ModemCount != 1) std::abort();
  return 0;
}
