// SPDX-License-Identifier: MIT
// Loading and saving a machine registry of realistic size, and the open-query-close cycle that
// modem detection repeats for every modem key.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "platform/host/file_io.h"
#include "platform/registry/file_registry.h"
#include "platform/registry/reg_file.h"

namespace {

using namespace nimbra::platform;

constexpr std::string_view kModemClass = "System\\CurrentControlSet\\Services\\Class\\Modem";

// About 4000 keys with a handful of values each, plus the modem class the detection walks.
RegistryStore realistic_registry() {
  RegistryStore store;
  const std::vector<uint8_t> blob(48, 0xA5);
  for (int vendor = 0; vendor < 40; ++vendor) {
    for (int app = 0; app < 100; ++app) {
      const std::string key =
          "HKLM\\Software\\Vendor" + std::to_string(vendor) + "\\Application" + std::to_string(app);
      store.set_string(key, "InstallPath", "C:\\Program Files\\Vendor\\Application\\bin");
      store.set_dword(key, "Version", static_cast<uint32_t>(app));
      store.set_binary(key, "Settings", blob);
    }
  }
  for (int modem = 0; modem < 8; ++modem) {
    char index[5];
    snprintf(index, sizeof index, "%04d", modem);
    const std::string key = "HKLM\\" + std::string(kModemClass) + "\\" + index;
    store.set_string(key, "AttachedTo", "COM" + std::to_string(modem + 1));
    store.set_string(key, "DriverDesc", "PHS Data Card");
  }
  return store;
}

void BM_ParseRegistry(benchmark::State& state) {
  const std::string text = format_reg_file(realistic_registry());
  for (auto _ : state) {
    RegParseResult result = parse_reg_file(text);
    benchmark::DoNotOptimize(result);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseRegistry)->Unit(benchmark::kMillisecond);

void BM_FormatRegistry(benchmark::State& state) {
  const RegistryStore store = realistic_registry();
  for (auto _ : state) {
    std::string text = format_reg_file(store);
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(BM_FormatRegistry)->Unit(benchmark::kMillisecond);

void BM_OpenQueryClose(benchmark::State& state) {
  std::string dir = (std::filesystem::temp_directory_path() / "nimbra-bench-XXXXXX").string();
  if (::mkdtemp(dir.data()) == nullptr) {
    state.SkipWithError("no temporary directory");
    return;
  }
  const std::filesystem::path file = std::filesystem::path(dir) / "registry.reg";
  write_text_file_atomic(file, format_reg_file(realistic_registry()), 0644);
  {
    FileRegistry reg(file, CodePage::Japanese);
    const std::string subkey = std::string(kModemClass) + "\\0003";
    uint8_t port[16];
    for (auto _ : state) {
      HKEY key = 0;
      reg.RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey, 0, KEY_READ, key);
      uint32_t size = sizeof port;
      reg.RegQueryValueExA(key, "AttachedTo", nullptr, port, size);
      reg.RegCloseKey(key);
      benchmark::DoNotOptimize(port);
    }
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_OpenQueryClose);

}  // namespace
