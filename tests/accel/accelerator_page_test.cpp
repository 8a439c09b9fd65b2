// SPDX-License-Identifier: MIT
#include "accel/accelerator_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "nimbra_test/temp_dir.h"
#include "nimbra_test/test_machine.h"
#include "nimbra_test/timed_url_cache.h"
#include "platform/host/file_io.h"
#include "platform/sim/desktop/sim_shell.h"
#include "platform/sim/machine/installed_browser.h"
#include "platform/sim/machine/machine_location.h"
#include "shell/records/settings_record.h"
#include "shell/startup.h"
#include "wiring/subsystems.h"

namespace nimbra::accel {
namespace {

using Bytes = std::vector<uint8_t>;
using test::TestMachine;

constexpr char kBrowser[] = "C:\\Program Files\\Browser\\browser.exe";
constexpr char kSettings[] =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

void save_settings(TestMachine& m, int32_t accel_choice, bool browser_after_proxy) {
  shell::SettingsRecord record;
  record.PlanIndex = 1;
  record.UserName = "qenvora";
  record.Password = "qenvora";
  record.AccelChoice = accel_choice;
  record.OptBrowserAfterProxy = browser_after_proxy ? shell::kFlagTrue : shell::kFlagFalse;
  m.write_windows_file("nimbra1.dat", shell::encode_settings(record));
}

std::optional<Bytes> stored_value(TestMachine& m) {
  const auto value = m.machine().registry().snapshot().value(sim::kConnectionsKey, "KVAUTODL");
  if (!value) return std::nullopt;
  return value->data;
}

Bytes bytes_of(const shell::ProxyBlob& blob) {
  return {blob.value().begin(), blob.value().end()};
}

int32_t saved_choice(TestMachine& m) {
  return shell::decode_settings(*m.read_windows_file("nimbra1.dat")).AccelChoice;
}

bool cache_empty(TestMachine& m) {
  return std::filesystem::is_empty(m.machine().url_cache().folder());
}

// A program whose browser cache records the URLs it is asked to delete (see TimedUrlCache).
struct TimedProgram {
  explicit TimedProgram(TestMachine& m)
      : process(m.machine().start_process()),
        cache(m.machine()),
        services{process.platform().kernel, process.platform().registry, process.platform().runtime,
                 process.platform().window, process.platform().comm,     process.platform().ras,
                 process.platform().shell,  process.platform().http,     cache},
        app(services) {
    app::install_subsystems(app);
    shell::Main(app);
  }

  void delete_cache() {
    app.main_form.KorvoTab.user_select(2);
    app.main_form.CheckCash.value = 1;
    app.main_form.CmdApply.click();
  }

  sim::Process& process;
  test::TimedUrlCache cache;
  platform::Platform services;
  shell::AppContext app;
};

// Apply writes the chosen option's exact value, or removes the value for "No acceleration",
// and saves the choice; Apply is dark afterwards and the option stays in force.
TEST(AcceleratorPage, ApplyEachOption) {
  struct Row {
    int option;
    const shell::ProxyBlob shell::AppContext::*blob;  // null: the value is removed
    int16_t level;
  };
  const Row rows[] = {
      {0, &shell::AppContext::ProxyBlobDrift, 1},
      {3, &shell::AppContext::ProxyBlobZephyr, 3},
      {2, nullptr, 0},
  };
  for (const Row& row : rows) {
    TestMachine m;
    save_settings(m, 1, false);
    test::Program& p = m.start();
    shell::MainForm& form = p.form();
    form.KorvoTab.user_select(2);
    ASSERT_TRUE(form.AccOption[1].value);
    form.AccOption[row.option].value = true;
    ASSERT_TRUE(form.CmdApply.enabled);
    form.CmdApply.click();
    if (row.blob) {
      EXPECT_EQ(stored_value(m), bytes_of((*p.app).*row.blob)) << row.option;
      EXPECT_EQ(stored_value(m)->size(), 82u);
    } else {
      EXPECT_FALSE(stored_value(m)) << row.option;
    }
    EXPECT_EQ(saved_choice(m), row.option);
    EXPECT_EQ(p.app->AccelLevel, row.level);
    EXPECT_FALSE(form.CmdApply.enabled);
    form.KorvoTab.user_select(1);
    form.KorvoTab.user_select(2);
    EXPECT_TRUE(form.AccOption[row.option].value) << row.option;
    EXPECT_FALSE(form.CmdApply.enabled);
  }
}

// Apply is lit exactly while the option chosen differs from the one in force; a stored value of
// none of the accelerators (the Q-POST proxy) selects no option, and then any choice lights it.
TEST(AcceleratorPage, ApplyLitOnlyForAChange) {
  TestMachine m;
  save_settings(m, 1, false);
  test::Program& p = m.start();
  shell::MainForm& form = p.form();
  form.KorvoTab.user_select(2);
  form.AccOption[1].click();
  EXPECT_FALSE(form.CmdApply.enabled);
  form.AccOption[3].value = true;
  EXPECT_TRUE(form.CmdApply.enabled);
  form.AccOption[1].value = true;
  EXPECT_FALSE(form.CmdApply.enabled);
  EXPECT_FALSE(p.app->AccelChanged);

  // Clearing the cache box darkens Apply although a change is pending.
  form.AccOption[0].value = true;
  form.CheckCash.value = 1;
  form.CheckCash.value = 0;
  EXPECT_FALSE(form.CmdApply.enabled);

  m.machine().registry().modify([&](platform::RegistryStore& store) {
    store.set_binary(sim::kConnectionsKey, "KVAUTODL", p.app->ProxyBlobQPost.value());
  });
  form.KorvoTab.user_select(1);
  form.KorvoTab.user_select(2);
  EXPECT_EQ(p.app->AccelLevel, -1);
  for (const auto& option : form.AccOption) EXPECT_FALSE(option->value) << option->index();
  form.AccOption[1].value = true;
  EXPECT_TRUE(form.CmdApply.enabled);

  // A value too long for the buffer is none either, even one that starts as Breeze's does.
  Bytes too_long = bytes_of(p.app->ProxyBlobBreeze);
  too_long.resize(shell::kRegBufferSize + 1, 0);
  m.machine().registry().modify([&](platform::RegistryStore& store) {
    store.set_binary(sim::kConnectionsKey, "KVAUTODL", too_long);
  });
  form.KorvoTab.user_select(1);
  form.KorvoTab.user_select(2);
  EXPECT_EQ(p.app->AccelLevel, -1);
  for (const auto& option : form.AccOption) EXPECT_FALSE(option->value) << option->index();
}

// Apply with the cache box checked deletes the cached pages and clears the box; after a change
// the browser starts, or 159 shows without one; unchanged, the value is rewritten, nothing starts.
TEST(AcceleratorPage, BrowserAfterChange) {
  struct Row {
    bool browser_installed;
    bool change;
    size_t started;
    size_t boxes;
    int cached;
  };
  const Row rows[] = {{true, true, 1, 0, 3}, {false, true, 0, 1, 0}, {true, false, 0, 0, 3}};
  for (const Row& row : rows) {
    TestMachine m(
        test::with_card(),
        (row.browser_installed ? std::string("[shell]\n.html = ") + kBrowser + "\n" : "") +
            "[cache]\nentries = " + std::to_string(row.cached) + "\n");
    if (row.browser_installed) sim::install_file(m.machine().kernel(), kBrowser);
    save_settings(m, 1, true);
    test::Program& p = m.start();
    shell::MainForm& form = p.form();
    form.KorvoTab.user_select(2);
    if (row.change) form.AccOption[3].value = true;
    form.CheckCash.value = 1;
    form.CmdApply.click();
    EXPECT_EQ(p.process.shell().actions().size(), row.started);
    ASSERT_EQ(p.boxes().size(), row.boxes);
    if (row.boxes) {
      EXPECT_EQ(p.boxes()[0].text, "ERROR-725 : Standard Browser not found.");
    }
    EXPECT_EQ(stored_value(m),
              bytes_of(row.change ? p.app->ProxyBlobZephyr : p.app->ProxyBlobBreeze));
    EXPECT_TRUE(cache_empty(m));
    // "Calculating...", "Deleting..." and "Deleted." each painted at once, an empty cache too.
    EXPECT_EQ(p.process.window().update_count(p.app->main_window), 3);
    EXPECT_EQ(form.CheckCash.value, 0);
    EXPECT_FALSE(form.ProgressBar1.visible || form.LabProgress.visible);
  }
}

// A Connections key that refuses opening stops the page switch with message 104; one that
// refuses writing makes Apply show 116 and stay lit, with nothing changed.
TEST(AcceleratorPage, ConnectionsKeyRefused) {
  const std::string key(sim::kConnectionsKey);
  TestMachine closed(test::with_card(), "[registry]\ndeny_open = " + key + "\n");
  test::Program& p = closed.start();
  const size_t boxes_at_start = p.boxes().size();
  p.form().KorvoTab.user_select(2);
  ASSERT_EQ(p.boxes().size(), boxes_at_start + 1);
  EXPECT_EQ(p.boxes().back().text, "ERROR-031 : Unable to detect dial up conditions.");
  EXPECT_GT(p.form().Frames[0].z_order(), p.form().Frames[1].z_order());

  TestMachine locked(test::with_card(), "[registry]\ndeny_write = " + key + "\n");
  save_settings(locked, 1, false);
  locked.machine().registry().modify([](platform::RegistryStore& store) {
    store.set_binary(sim::kConnectionsKey, "KVAUTODL", Bytes{1, 2, 3});
  });
  test::Program& q = locked.start();
  q.form().KorvoTab.user_select(2);
  EXPECT_GT(q.form().Frames[1].z_order(), q.form().Frames[0].z_order());
  q.form().AccOption[3].value = true;
  const size_t boxes_before = q.boxes().size();
  q.form().CmdApply.click();
  ASSERT_EQ(q.boxes().size(), boxes_before + 1);
  EXPECT_EQ(q.boxes().back().text, "ERROR-013 : Unable to detect communication conditions.");
  EXPECT_TRUE(q.form().CmdApply.enabled);
  EXPECT_EQ(q.app->AccelLevel, -1);
  EXPECT_TRUE(q.app->AccelChanged);
  EXPECT_EQ(stored_value(locked), (Bytes{1, 2, 3}));
  EXPECT_EQ(saved_choice(locked), 1);
}

// Start-up switches on both HTTP 1.1 options as REG_DWORD values named by the browser's
// descriptions; each missing or refused piece stops it with message 112 under its title.
TEST(AcceleratorPage, Http11OptionsAtStart) {
  const std::string options =
      "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Internet Explorer\\AdvancedOptions\\HTTP\\";
  struct Row {
    std::string ini;
    const char* title;  // null: no message
    bool proxy_written;
  };
  const Row rows[] = {
      {"", nullptr, true},
      {"[browser]\nleave_out = HTTP\\PROXY\n", "ERROR-860", false},
      {"[registry]\ndeny_open = " + options + "GENABLE\n", "ERROR-860", true},
      {"[browser]\nleave_out = HTTP\\PROXY\\ValueName\n", "ERROR-861", false},
      {"[browser]\nleave_out = HTTP\\GENABLE\\CheckedValue\n", "ERROR-861", true},
      {"[registry]\ndeny_write = " + std::string(kSettings) + "\n", "ERROR-862", false},
  };
  for (const Row& row : rows) {
    TestMachine m(test::with_card(sim::WindowsVersion::Win98), row.ini);
    test::Program& p = m.start();
    const auto snapshot = m.machine().registry().snapshot();
    const auto proxy = snapshot.value(kSettings, "ProxyHttp1.1");
    EXPECT_EQ(proxy.has_value(), row.proxy_written) << row.ini;
    if (proxy) {
      EXPECT_EQ(*proxy, (platform::RegValue{platform::REG_DWORD, {1, 0, 0, 0}}));
    }
    const auto http11 = snapshot.value(kSettings, "EnableHttp1_1");
    EXPECT_EQ(http11.has_value(), row.title == nullptr) << row.ini;
    const sim::MessageBoxRecord* shown = nullptr;
    for (const auto& box : p.boxes()) {
      if (box.text == "ERROR-009 : Unable to detect communication conditions.") shown = &box;
    }
    ASSERT_EQ(shown != nullptr, row.title != nullptr) << row.ini;
    if (shown) {
      EXPECT_TRUE(shown->title.starts_with(row.title)) << shown->title;
    }
  }
  // Windows NT 3 does not touch them.
  TestMachine nt3(sim::MachineSpec{sim::WindowsVersion::NT3, platform::Language::English, {}});
  nt3.start();
  EXPECT_FALSE(nt3.machine().registry().snapshot().value(kSettings, "EnableHttp1_1"));
}

// A second deletion in the same run deletes the first run's URLs again before the new ones.
TEST(AcceleratorPage, SecondDeletionRepeatsTheFirst) {
  TestMachine m(test::with_card(), "[cache]\nurls = http://a.example/, http://b.example/\n");
  TimedProgram p(m);
  p.delete_cache();
  const Bytes page = {'x'};
  ASSERT_TRUE(m.machine().url_cache().add_entry("http://c.example/", page));
  p.delete_cache();
  ASSERT_EQ(p.cache.deleted.size(), 5u);
  const std::vector<std::string> first(p.cache.deleted.begin(), p.cache.deleted.begin() + 2);
  EXPECT_EQ(std::set<std::string>(first.begin(), first.end()),
            (std::set<std::string>{"http://a.example/", "http://b.example/"}));
  EXPECT_EQ(std::vector<std::string>(p.cache.deleted.begin() + 2, p.cache.deleted.begin() + 4),
            first);
  EXPECT_EQ(p.cache.deleted[4], "http://c.example/");
  EXPECT_TRUE(cache_empty(m));
  EXPECT_TRUE(p.process.window().message_boxes().empty());
}

// An entry that cannot be read ends the first pass: only the URLs found before it are deleted.
TEST(AcceleratorPage, FailingEnumerationEndsThePass) {
  TestMachine m(test::with_card(),
                "[cache]\nurls = http://a.example/, http://b.example/, "
                "http://c.example/, http://d.example/\n");
  TimedProgram p(m);
  p.cache.fail_next_record = 1;
  p.delete_cache();
  EXPECT_EQ(p.cache.deleted.size(), 2u);
  EXPECT_EQ(
      std::distance(std::filesystem::directory_iterator(m.machine().url_cache().folder()), {}), 2);
  EXPECT_EQ(p.app.main_form.CheckCash.value.get(), 0);
  EXPECT_FALSE(p.app.main_form.ProgressBar1.visible.get());
}

// On the demo machine a person finds Breeze in force, applies Zephyr with "Delete cache" checked,
// and then registry.reg holds the Zephyr value and the demo's cached pages are gone.
TEST(AcceleratorPage, DemoMachine) {
  test::TempDir dir;
  ASSERT_TRUE(sim::ensure_demo_machine(dir.path(), platform::Language::English));
  sim::Machine machine(dir.path());
  const auto& cache = machine.url_cache().folder();
  ASSERT_EQ(std::distance(std::filesystem::directory_iterator(cache), {}), 240);
  shell::AppContext app(machine.start_process().platform());
  app::install_subsystems(app);
  shell::Main(app);

  app.main_form.KorvoTab.user_select(2);
  EXPECT_TRUE(app.main_form.AccOption[1].value);
  app.main_form.AccOption[3].value = true;
  app.main_form.CheckCash.value = 1;
  app.main_form.CmdApply.click();
  const auto reg = platform::read_text_file(dir.path() / "registry.reg", 1 << 20);
  ASSERT_TRUE(reg);
  EXPECT_NE(reg->find("\"KVAUTODL\"=hex:3c,00,00,00,05,3c,00,00,03,00,00,00,24,00,00,00,68,74"),
            std::string::npos);
  EXPECT_TRUE(std::filesystem::is_empty(cache));
}

}  // namespace
}  // namespace nimbra::accel
