// SPDX-License-Identifier: MIT
// The rules by which the desktop's proxy follows the link: saved before the first change, the
// connection's proxy while up, the user's own settings back when it goes down, a hand change kept.
#include "platform/linux/proxy/proxy_follower.h"

#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "nimbra_test/temp_dir.h"

namespace nimbra {
namespace {

namespace fs = std::filesystem;
using lnx::ConnectionProxy;
using lnx::ProxySettings;

// A desktop whose settings are a map; its tool can be made to fail.
class FakeDesktop final : public lnx::DesktopSettings {
 public:
  explicit FakeDesktop(std::string name) : name_(std::move(name)) {}
  std::string_view name() const override { return name_; }
  ProxySettings settings_for(const ConnectionProxy& proxy) const override {
    return {{"mode", "manual"},
            {"host", proxy.http->host},
            {"port", std::to_string(proxy.http->port)},
            {"extra", "on"}};
  }
  std::optional<ProxySettings> read(const std::vector<std::string>& keys) override {
    if (broken) return std::nullopt;
    ProxySettings out;
    for (const auto& key : keys) {
      const auto it = values.find(key);
      out[key] = it == values.end() ? std::nullopt : it->second;
    }
    return out;
  }
  bool write(const ProxySettings& settings) override {
    if (broken) return false;
    for (const auto& [key, value] : settings) {
      ++writes;
      if (value) {
        values[key] = value;
      } else {
        values.erase(key);
      }
    }
    return true;
  }

  ProxySettings values;
  bool broken = false;
  int writes = 0;

 private:
  std::string name_;
};

ConnectionProxy proxy_at(std::string host) {
  return ConnectionProxy{lnx::ProxyServer{std::move(host), 32080}, {}, {}};
}

class ProxyFollowerTest : public ::testing::Test {
 protected:
  // A program run: a follower on the session's desktop `session`.
  lnx::ProxyFollower run(std::string session = "gnome") {
    return lnx::ProxyFollower(
        state_file(),
        [this](std::string_view name) -> lnx::DesktopSettings* {
          if (name == "gnome") return &gnome_;
          if (name == "kde") return &kde_;
          return nullptr;
        },
        std::move(session), log_);
  }
  fs::path state_file() const { return dir_ / "desktop-proxy.ini"; }

  test::TempDir dir_;
  std::ostringstream log_;
  FakeDesktop gnome_{"gnome"};
  FakeDesktop kde_{"kde"};
  // The user's own: a proxy of their own and a key that is not set.
  const ProxySettings own_ = {{"mode", "manual"}, {"host", "own.example"}, {"port", "3128"}};
};

// Up, another accelerator, down: the desktop carries each proxy in turn, and the user's own
// settings (a key that was not set is unset again) are back exactly at the end; the saved
// state is a file only its owner reads, gone once the settings are back.
TEST_F(ProxyFollowerTest, FollowsAndGivesBackExactly) {
  gnome_.values = own_;
  auto follower = run();
  follower.follow("KVAUTODL", proxy_at("breeze.example"));
  EXPECT_EQ(gnome_.values["host"], "breeze.example");
  EXPECT_EQ(gnome_.values["extra"], "on");
  struct stat info {};
  ASSERT_EQ(stat(state_file().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  const int writes = gnome_.writes;
  follower.follow("KVAUTODL", proxy_at("breeze.example"));  // the same value again
  EXPECT_EQ(gnome_.writes, writes);
  follower.follow("KVAUTODL", proxy_at("zephyr.example"));
  EXPECT_EQ(gnome_.values["host"], "zephyr.example");

  follower.restore();
  EXPECT_EQ(gnome_.values, own_);
  EXPECT_FALSE(fs::exists(state_file()));
  EXPECT_FALSE(follower.entry());
}

// A value taken away while the link is up ("No acceleration") gives the user's own settings
// back; a new accelerator after it saves them again first.
TEST_F(ProxyFollowerTest, ValueTakenAwayGivesBackOwn) {
  gnome_.values = own_;
  auto follower = run();
  follower.follow("KVAUTODL", proxy_at("breeze.example"));
  follower.follow("KVAUTODL", std::nullopt);
  EXPECT_EQ(gnome_.values, own_);
  EXPECT_FALSE(fs::exists(state_file()));
  gnome_.values["port"] = "8000";  // the user's own changes meanwhile
  const ProxySettings changed = gnome_.values;
  follower.follow("KVAUTODL", proxy_at("drift.example"));
  EXPECT_EQ(gnome_.values["host"], "drift.example");
  follower.restore();
  EXPECT_EQ(gnome_.values, changed);
}

// A setting the user changed by hand while the link was up keeps the user's change; the others
// come back.
TEST_F(ProxyFollowerTest, HandChangeIsKept) {
  gnome_.values = own_;
  auto follower = run();
  follower.follow("KVAUTODL", proxy_at("breeze.example"));
  gnome_.values["host"] = "by-hand.example";
  gnome_.values.erase("extra");
  follower.restore();
  EXPECT_EQ(gnome_.values,
            (ProxySettings{{"mode", "manual"}, {"host", "by-hand.example"}, {"port", "3128"}}));
}

// The link went down while no program ran: the next run knows the entry from the saved state
// and gives the settings back on the desktop they were saved from, even when the session's
// desktop is another now.
TEST_F(ProxyFollowerTest, NextRunGivesBackOnTheSavedDesktop) {
  kde_.values = own_;
  run("kde").follow("KVAUTODL", proxy_at("breeze.example"));
  EXPECT_EQ(kde_.values["host"], "breeze.example");

  auto next = run("gnome");
  EXPECT_EQ(next.entry(), "KVAUTODL");
  next.restore();
  EXPECT_EQ(kde_.values, own_);
  EXPECT_EQ(gnome_.writes, 0);
  EXPECT_FALSE(fs::exists(state_file()));
}

// Nothing is changed when the settings cannot be saved first, or on a desktop without a
// proxy setting we know; settings that cannot be given back now stay saved for the next run;
// a state file that cannot be read is set aside, not taken for one.
TEST_F(ProxyFollowerTest, NothingIsLost) {
  gnome_.values = own_;
  gnome_.broken = true;
  run().follow("KVAUTODL", proxy_at("breeze.example"));
  EXPECT_FALSE(fs::exists(state_file()));
  run("").follow("KVAUTODL", proxy_at("breeze.example"));
  EXPECT_FALSE(fs::exists(state_file()));
  EXPECT_NE(log_.str().find("has no proxy setting"), std::string::npos) << log_.str();

  gnome_.broken = false;
  run().follow("KVAUTODL", proxy_at("breeze.example"));
  gnome_.broken = true;
  run().restore();
  EXPECT_TRUE(fs::exists(state_file()));
  gnome_.broken = false;
  run().restore();
  EXPECT_EQ(gnome_.values, own_);

  std::ofstream(state_file()) << "this is not a state\n";
  EXPECT_FALSE(run().entry());
  EXPECT_TRUE(fs::exists(state_file().string() + ".bad"));
}

}  // namespace
}  // namespace nimbra
