// SPDX-License-Identifier: MIT
// Arbitrary bytes as the customisation file, read and applied to the main window: nothing
// reads past the record, a file of full length is taken, and the TCP/IP values come from it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <vector>

#include "fuzz_machine.h"
#include "platform/text/bytes.h"
#include "shell/custom_file.h"

namespace {

using namespace nimbra;

// Serves the fuzz input as the one file of the Windows directory; everything else comes from
// the simulated machine.
class InputKernel : public platform::Kernel {
 public:
  InputKernel(platform::Kernel& base, std::span<const uint8_t> file) : base_(base), file_(file) {}
  bool GetVersionExA(std::span<uint8_t> record) override { return base_.GetVersionExA(record); }
  uint32_t GetWindowsDirectoryA(std::span<char> buffer) override {
    return base_.GetWindowsDirectoryA(buffer);
  }
  uint32_t GetACP() override { return base_.GetACP(); }
  platform::Language system_language() override { return base_.system_language(); }
  std::string program_directory() override { return base_.program_directory(); }
  std::string temp_directory() override { return base_.temp_directory(); }
  void Sleep(uint32_t ms) override { base_.Sleep(ms); }
  uint64_t tick_count_ms() override { return base_.tick_count_ms(); }
  platform::LocalDateTime local_now() override { return base_.local_now(); }
  bool file_exists(std::string_view) override { return true; }
  std::optional<std::vector<uint8_t>> read_file(std::string_view, size_t max_bytes) override {
    return std::vector<uint8_t>(file_.begin(), file_.begin() + std::min(max_bytes, file_.size()));
  }
  bool write_file(std::string_view, std::span<const uint8_t>, platform::FileAccess) override {
    return false;
  }
  bool write_file_start(std::string_view, std::span<const uint8_t>, platform::FileAccess) override {
    return false;
  }
  bool delete_file(std::string_view) override { return false; }

 private:
  platform::Kernel& base_;
  std::span<const uint8_t> file_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sim::Process& process = fuzz::fuzz_process();
  platform::Platform& base = process.platform();
  InputKernel kernel(base.kernel, std::span<const uint8_t>(data, size));
  platform::Platform services{kernel,   base.registry, base.runtime, base.window,   base.comm,
                              base.ras, base.shell,    base.http,    base.url_cache};
  shell::AppContext app(services);
  app.WinDir = "C:\\WINDOWS";
  const bool read = shell::read_custom_file(app) == 0;
  if (read != (size >= shell::CustomRecord::kSize) || read != app.CustomPresent) std::abort();
  if (!read) return 0;
  const std::span<const uint8_t> file(data, size);
  if (app.MtuValue != bytes::get_i32(file, 1712) || app.RwinValue != bytes::get_i32(file, 1708)) {
    std::abort();
  }
  shell::apply_custom_record(app);
  return 0;
}
