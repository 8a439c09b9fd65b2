// SPDX-License-Identifier: MIT
#include "dialup/service_plans.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "connecting_scenario.h"
#include "nimbra_test/test_machine.h"
#include "shell/records/settings_record.h"

namespace nimbra::dialup {
namespace {

using Bytes = std::vector<uint8_t>;
using test::TestMachine;

constexpr char kConnections[] =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet "
    "Settings\\Connections";

Bytes stored_proxy_value(sim::Machine& machine) {
  const auto value = machine.registry().snapshot().value(kConnections, "KVAUTODL");
  return value ? value->data : Bytes{};
}

Bytes value_of(const shell::ProxyBlob& blob) {
  return Bytes(blob.value().begin(), blob.value().end());
}

// Each plan sets its code, access points, link modes and accelerator controls, stores its proxy
// value and saves its index.
TEST(ServicePlans, EachPlanSetsControlsAndProxyValue) {
  struct Row {
    int option;
    int32_t accel_choice;
    const char* code;
    const char* main_number;
    bool multi_link, accelerator;
    const shell::ProxyBlob shell::AppContext::*blob;
  };
  const Row rows[] = {
      {0, 2, "Q300", "0570000300", false, true, &shell::AppContext::ProxyBlobNone},
      {0, 0, "Q300", "0570000300", false, true, &shell::AppContext::ProxyBlobDrift},
      {1, 1, "QPOST", "0570000320", false, false, &shell::AppContext::ProxyBlobQPost},
      {2, 3, "QTIME", "0570000300", true, true, &shell::AppContext::ProxyBlobBreeze},
  };
  for (const Row& r : rows) {
    TestMachine m;
    auto& program = scenario::start(m, {.accel_choice = r.accel_choice});
    ASSERT_FALSE(program.ended);
    shell::MainForm& form = program.form();
    form.ServiceOption[r.option].value = true;
    SCOPED_TRACE(std::string(r.code) + " choice " + std::to_string(r.accel_choice));
    EXPECT_EQ(form.ServiceLbl[0].caption.get(), r.code);
    EXPECT_EQ(program.app->AccessPoints[0], r.main_number);
    EXPECT_EQ(form.AccPtCmb.items.get(),
              (std::vector<std::string>{r.main_number, "For extension"}));
    EXPECT_EQ(form.AccPtCmb.list_index.get(), 0);
    EXPECT_EQ(form.AccMode[1].value.get(), r.multi_link);
    EXPECT_EQ(form.AccMode[0].value.get(), !r.multi_link);
    EXPECT_EQ(form.AccMode[1].visible.get(), r.multi_link);
    EXPECT_EQ(form.WebAccel.visible.get(), r.accelerator);
    EXPECT_EQ(form.NoaccTxt.visible.get(), !r.accelerator);
    EXPECT_EQ(stored_proxy_value(m.machine()), value_of((*program.app).*r.blob));
    const auto saved = m.read_windows_file("nimbra1.dat");
    ASSERT_TRUE(saved);
    EXPECT_EQ(shell::decode_settings(*saved).PlanIndex, r.option + 1);
    EXPECT_TRUE(program.boxes().empty());
  }
}

// An accelerator choice outside the table writes no value, but the settings are still saved.
TEST(ServicePlans, UnknownAcceleratorChoiceWritesNothing) {
  TestMachine m;
  auto& program = scenario::start(m, {.accel_choice = 7});
  ASSERT_FALSE(program.ended);
  EXPECT_TRUE(stored_proxy_value(m.machine()).empty());
  EXPECT_EQ(shell::decode_settings(*m.read_windows_file("nimbra1.dat")).AccelChoice, 7);
}

// A connections key that cannot be written gives message 116 and leaves the settings file as
// it was, while the plan's controls still change.
TEST(ServicePlans, UnwritableConnectionsKey) {
  TestMachine m(test::with_card(), std::string("[registry]\ndeny_write = ") + kConnections + "\n");
  scenario::write_settings(m, {.accel_choice = 1});
  const auto before = m.read_windows_file("nimbra1.dat");
  auto& program = m.start();
  ASSERT_FALSE(program.ended);
  ASSERT_EQ(program.boxes().size(), 1u);
  EXPECT_EQ(program.boxes()[0].text, "ERROR-013 : Unable to detect communication conditions.");
  program.form().ServiceOption[1].value = true;
  EXPECT_EQ(program.boxes().size(), 2u);
  EXPECT_EQ(program.app->AccessPoints[0], "0570000320");
  EXPECT_TRUE(stored_proxy_value(m.machine()).empty());
  EXPECT_EQ(m.read_windows_file("nimbra1.dat"), before);
}

}  // namespace
}  // namespace nimbra::dialup
