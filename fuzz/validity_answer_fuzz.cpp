// SPDX-License-Identifier: MIT
// The validity server's answer as the inquiry reads it: the input is the header block, a NUL,
// and the body. Whatever comes, the date field keeps its NUL inside its 9 bytes, and the label
// turns blue only for a recognised date.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_machine.h"
#include "shell/app_context.h"
#include "validity/inquiry.h"
#include "validity/validity_date.h"

namespace nimbra {
namespace {

class InputHttp : public platform::Http {
 public:
  InputHttp() = default;
  InputHttp(std::string_view head, std::string_view body) : head_(head), body_(body) {}
  void get(std::string_view, StateHandler) override {}
  std::string header_block() override { return std::string(head_); }
  std::string get_chunk(size_t max_bytes) override {
    const std::string_view chunk = body_.substr(0, max_bytes);
    body_.remove_prefix(chunk.size());
    return std::string(chunk);
  }
  uint32_t error_code() override { return 0; }
  std::string error_description() override { return {}; }

 private:
  std::string_view head_;
  std::string_view body_;
};

}  // namespace
}  // namespace nimbra

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nimbra;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t split = std::min(input.find('\0'), input.size());
  static InputHttp http;
  http = InputHttp(input.substr(0, split), input.substr(std::min(split + 1, input.size())));
  // One program for the whole run: building its window is what would cost the most.
  static platform::Platform& base = fuzz::fuzz_process().platform();
  static platform::Platform services{base.kernel, base.registry, base.runtime,
                                     base.window, base.comm,     base.ras,
                                     base.shell,  http,          base.url_cache};
  static shell::AppContext app(services);
  static validity::Inquiry inquiry(app);
  app.WinDir = "C:\\WINDOWS";
  app.main_form.LblLimit.caption = std::string();
  app.main_form.LblLimit.fore_color = 0;
  inquiry.Inet1_StateChanged(platform::icResponseCompleted);
  if (std::find(app.LimitDate.begin(), app.LimitDate.end(), 0) == app.LimitDate.end()) {
    std::abort();
  }
  const bool blue = app.main_form.LblLimit.fore_color.get() == 0xFF0000;
  if (blue != validity::recognise_date(app.main_form.LblLimit.caption.get()).has_value()) {
    std::abort();
  }
  return 0;
}
