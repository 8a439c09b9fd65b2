// SPDX-License-Identifier: MIT
#include "controls/link_label.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "controls/link_target.h"

namespace nimbra::controls {
namespace {

struct Window : platform::Form {
  Window() : platform::Form("Window") {}
  LinkLabel link{this, "Link"};
};

// A new instance shows "Label1", links to "0", stores nothing and has nothing marked changed.
TEST(LinkLabel, NewInstanceHasItsDefaults) {
  Window w;
  EXPECT_EQ(w.link.caption.get(), "Label1");
  EXPECT_EQ(w.link.URL.get(), "0");
  EXPECT_TRUE(w.link.changed_properties().empty());
  PropertyBag bag;
  w.link.write_properties(bag);
  EXPECT_TRUE(bag.entries().empty());
}

// Every set marks that property, under its stored name, as changed for the container.
TEST(LinkLabel, EverySetMarksItsProperty) {
  struct Row {
    const char* stored_name;
    void (*set)(LinkLabel&);
  };
  const Row rows[] = {
      {"BackColor", [](LinkLabel& l) { l.back_color = platform::Color{0xFFFFFF}; }},
      {"Caption", [](LinkLabel& l) { l.caption = std::string("Mail us"); }},
      {"Font", [](LinkLabel& l) { l.Font = std::string("Sans, 9pt"); }},
      {"URL", [](LinkLabel& l) { l.URL = std::string("mailto:a@b.jp"); }},
      {"ToolTipText", [](LinkLabel& l) { l.tool_tip = std::string("tip"); }},
  };
  for (const Row& r : rows) {
    Window w;
    r.set(w.link);
    EXPECT_EQ(w.link.changed_properties(), std::set<std::string>{r.stored_name}) << r.stored_name;
  }
}

// Writing stores the non-default properties in the design's order; reading them into a new
// instance restores each, marks nothing, and a property left out reads as its default.
TEST(LinkLabel, StoredPropertiesRoundTripInOrder) {
  Window original;
  original.link.tool_tip = std::string("tip");
  original.link.URL = std::string("http://www.example.jp/");
  original.link.caption = std::string("Home");
  original.link.back_color = platform::Color{0x00FF00};
  PropertyBag bag;
  original.link.write_properties(bag);
  std::vector<std::string> names;
  for (const auto& entry : bag.entries()) names.push_back(entry.first);
  EXPECT_EQ(names, (std::vector<std::string>{"BackColor", "Caption", "URL", "ToolTipText"}));

  Window loaded;
  loaded.link.caption = std::string("changed before loading");
  loaded.link.Font = std::string("Serif");
  loaded.link.read_properties(bag);
  EXPECT_EQ(loaded.link.caption.get(), "Home");
  EXPECT_EQ(loaded.link.URL.get(), "http://www.example.jp/");
  EXPECT_EQ(loaded.link.tool_tip.get(), "tip");
  EXPECT_EQ(loaded.link.back_color.get(), platform::Color{0x00FF00});
  EXPECT_EQ(loaded.link.Font.get(), "");
  EXPECT_TRUE(loaded.link.changed_properties().empty());
}

// An address from the customisation file stays one target: what could add headers, recipients,
// a fragment, blanks or control characters is percent-encoded; a web address keeps its escapes.
TEST(LinkTarget, AddressesCannotBecomeAnotherTarget) {
  struct Row {
    std::string (*target)(std::string_view);
    const char* address;
    const char* expected;
  };
  const Row rows[] = {
      {mailto_target, "help@example.jp", "mailto:help@example.jp"},
      {mailto_target, "a@b.jp?attach=/etc/passwd", "mailto:a@b.jp%3Fattach%3D%2Fetc%2Fpasswd"},
      {mailto_target, "a@b.jp,c@d.jp;e@f.jp", "mailto:a@b.jp%2Cc@d.jp%3Be@f.jp"},
      {mailto_target, "a b@c.jp\n#x%41", "mailto:a%20b@c.jp%0A%23x%2541"},
      {http_target, "www.example.jp/", "http://www.example.jp/"},
      {http_target, "www.example.jp:8080/a?b=1&c=2#top",
       "http://www.example.jp:8080/a?b=1&c=2#top"},
      {http_target, "www.example.jp/a%20b/%zz", "http://www.example.jp/a%20b/%25zz"},
      {http_target, "x.jp/\" onclick \\ <a>\t\x7f",
       "http://x.jp/%22%20onclick%20%5C%20%3Ca%3E%09%7F"},
      {http_target, "例え.jp", "http://%E4%BE%8B%E3%81%88.jp"},
  };
  for (const Row& r : rows) EXPECT_EQ(r.target(r.address), r.expected) << r.address;
}

}  // namespace
}  // namespace nimbra::controls
