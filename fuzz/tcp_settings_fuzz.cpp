// SPDX-License-Identifier: MIT
// Arbitrary registry answers to the Optimize page's start-up reading: enumeration ends, and the
// program either ends with message 112 or 113, or shows one choice whose boxes and values keep
// the page's rules (MTU 0..1500, a window never below it, texts within the boxes' lengths).
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>

#include "fuzz_machine.h"
#include "input_registry.h"
#include "tcpip/optimize_page.h"
#include "tcpip/tcpip_install.h"

namespace {

using namespace nimbra;

int selected_option(const shell::MainForm& form) {
  int selected = -1;
  for (int i = 0; i <= 2; ++i) {
    if (!form.TcpipOption[i].value) continue;
    if (selected != -1) std::abort();
    selected = i;
  }
  return selected;
}

void check_page(const shell::AppContext& app) {
  const shell::MainForm& form = app.main_form;
  if (form.MtuTxt.text.get().size() > 4 || form.RwinTxt.text.get().size() > 6) std::abort();
  if (app.AppliedMtu != app.TcpMtu || app.AppliedRwin != app.TcpRwin) std::abort();
  switch (selected_option(form)) {
    case 0:
      if (app.TcpMtu != app.MtuValue || app.TcpRwin != app.RwinValue) std::abort();
      break;
    case 1:
      if (app.TcpMtu < 0 || app.TcpMtu > 1500) std::abort();
      if (app.TcpRwin < app.TcpMtu || app.TcpRwin > 999999) std::abort();
      break;
    case 2:
      if (app.TcpMtu != 0 || app.TcpRwin != 0) std::abort();
      break;
    default:
      std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  sim::Process& process = fuzz::fuzz_process();
  platform::Platform& base = process.platform();
  fuzz::InputRegistry registry(input);
  platform::Platform services{base.kernel, registry,   base.runtime, base.window,   base.comm,
                              base.ras,    base.shell, base.http,    base.url_cache};
  shell::AppContext app(services);
  tcpip::install_tcpip(app);
  app.MtuValue = 1500;
  app.RwinValue = 17520;
  const size_t boxes_before = process.window().message_boxes().size();
  try {
    tcpip::read_tcp_settings(app);
  } catch (const sim::ProgramEnded&) {
    if (process.window().message_boxes().size() != boxes_before + 1) std::abort();
    return 0;
  }
  check_page(app);
  return 0;
}
