// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "platform/registry/registry_store.h"
#include "platform/sim/machine/installed_network.h"

namespace nimbra::sim {
namespace {

using platform::Language;

// A real call's link takes the MTU of the first dial-up adapter, named as the machine's Windows
// names it, whose "MaxMTU" is a usable number; other adapters and odd values are passed over.
TEST(InstalledNetwork, DialupAdapterMtu) {
  platform::RegistryStore store;
  const std::string net(kClassNetKey);
  EXPECT_EQ(dialup_adapter_mtu(store, Language::English), std::nullopt);

  store.set_string(net + "\\0000", "DriverDesc", "PCI Fast Ethernet Adapter");
  store.set_string(net + "\\0000", "MaxMTU", "9000");
  store.set_string(net + "\\0001", "DriverDesc", "Dial-Up Adapter");
  store.set_string(net + "\\0001", "MaxMTU", "70000");
  store.set_string(net + "\\0002", "DriverDesc", "ダイヤルアップ アダプタ");
  store.set_string(net + "\\0002", "MaxMTU", "1500");
  EXPECT_EQ(dialup_adapter_mtu(store, Language::English), std::nullopt);
  EXPECT_EQ(dialup_adapter_mtu(store, Language::Japanese), 1500u);

  store.set_string(net + "\\0001", "MaxMTU", "576");
  EXPECT_EQ(dialup_adapter_mtu(store, Language::English), 576u);
  store.set_dword(net + "\\0002", "MaxMTU", 1400);  // not text: Windows writes it as text
  EXPECT_EQ(dialup_adapter_mtu(store, Language::Japanese), std::nullopt);
}

}  // namespace
}  // namespace nimbra::sim
