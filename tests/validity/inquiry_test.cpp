// SPDX-License-Identifier: MIT
// The validity term on a simulated machine, in virtual time: the stored date at start, and
// Inquire while connected.
#include "validity/inquiry.h"

#include <gtest/gtest.h>

#include "../dialup/connecting_scenario.h"

namespace nimbra::validity {
namespace {

using dialup::scenario::Options;
using dialup::scenario::press;
using dialup::scenario::text;
using dialup::scenario::write_settings;
using test::Program;
using test::TestMachine;

using Bytes = std::vector<uint8_t>;

constexpr platform::Color kBlue = 0xFF0000;

Bytes bytes_of(std::string_view s) {
  return {s.begin(), s.end()};
}

// A machine whose clock starts on 2026-12-06, with the program started and nothing dialled.
struct Scenario {
  explicit Scenario(std::string_view ini = "", std::optional<Bytes> limit_file = std::nullopt)
      : m(test::with_card(), ini) {
    write_settings(m, Options{});
    if (limit_file) m.write_windows_file("nimbral.dat", *limit_file);
    p = &m.start();
  }
  void connect() {
    press(*p, p->form().CmdConnect);
    m.run_for(*p, 10'000);
    ASSERT_EQ(p->app->ConnState, 1);
  }
  std::vector<std::string> box_texts() {
    std::vector<std::string> out;
    for (const auto& box : p->boxes()) out.push_back(box.text);
    return out;
  }
  std::string failure(std::string_view code, std::string_view detail) {
    return text(*p, 1064) + "\r\nCode=" + std::string(code) + "\r\n" + std::string(detail);
  }
  std::string notice(int days) { return text(*p, 1061) + std::to_string(days) + text(*p, 1062); }
  std::optional<Bytes> limit_file() { return m.read_windows_file("nimbral.dat"); }
  const std::vector<std::string>& requests() { return p->process.http().requests(); }

  TestMachine m;
  Program* p = nullptr;
};

// The stored date's notice at start: 0 and 29 days ahead warn with the days, 30 do not, a
// passed date says so.
TEST(ValidityTerm, NoticeAtStartByDaysLeft) {
  struct Row {
    std::string_view stored;
    int days;  // -1: passed; 30: no notice
  };
  const Row rows[] = {{"26/12/06", 0}, {"27/01/04", 29}, {"27/01/05", 30}, {"26/12/05", -1}};
  for (const Row& r : rows) {
    Bytes file = bytes_of(r.stored);
    file.push_back(0);
    Scenario s("", file);
    EXPECT_EQ(s.p->form().LblLimit.caption.get(), r.stored);
    std::vector<std::string> expected;
    if (r.days < 0) expected.push_back(text(*s.p, 1063));
    if (r.days >= 0 && r.days < 30) expected.push_back(s.notice(r.days));
    EXPECT_EQ(s.box_texts(), expected) << r.stored;
  }
}

// Inquire is pressable only while the program's connection is up.
TEST(ValidityTerm, InquireOnlyWhileConnected) {
  Scenario s;
  EXPECT_FALSE(s.p->form().CmdLimit.enabled);
  s.connect();
  EXPECT_TRUE(s.p->form().CmdLimit.enabled);
  press(*s.p, s.p->form().CmdDiscnct);
  EXPECT_FALSE(s.p->form().CmdLimit.enabled);
}

// A date answered is shown in blue, stored as its 8 characters and a NUL, warned about, and
// shown again by the next start; the request carries the card's number as it is.
TEST(ValidityTerm, AnsweredDateIsShownStoredAndShownAgain) {
  Scenario s("[validity]\ndate = 27/01/04\n");
  s.connect();
  press(*s.p, s.p->form().CmdLimit);
  EXPECT_TRUE(s.p->boxes().empty()) << "the answer arrives as a later event";
  s.m.run_for(*s.p, 100);
  EXPECT_EQ(s.requests(), std::vector<std::string>{
                              "http://limit.korvo-net.jp/limit/GetLimit.php?PHS=07012345678"});
  EXPECT_EQ(s.p->form().LblLimit.caption.get(), "27/01/04");
  EXPECT_EQ(s.p->form().LblLimit.fore_color.get(), kBlue);
  EXPECT_EQ(s.box_texts(), std::vector<std::string>{s.notice(29)});
  const Bytes stored = bytes_of(std::string_view("27/01/04\0", 9));
  EXPECT_EQ(s.limit_file(), stored);

  Scenario next("", stored);
  EXPECT_EQ(next.p->form().LblLimit.caption.get(), "27/01/04");
}

// After an answer a shorter date leaves the longer one's tail behind its NUL, and a four-digit
// year is stored in the 8-character form.
TEST(ValidityTerm, FileAfterAnAnswer) {
  struct Row {
    std::string_view before;
    std::string_view answer;  // also the label
    std::string_view after;
  };
  using namespace std::string_view_literals;
  const Row rows[] = {
      {"27/12/31\0"sv, "27/1/5",
       "27/1/5\0"
       "1\0"sv},
      {""sv, "2027/03/31", "27/03/31\0"sv},
      {"27"sv, "27/3/1", "27/3/1\0\0\0"sv},
  };
  for (const Row& r : rows) {
    Scenario s("[validity]\ndate = " + std::string(r.answer) + "\n",
               r.before.empty() ? std::nullopt : std::optional(bytes_of(r.before)));
    s.connect();
    press(*s.p, s.p->form().CmdLimit);
    s.m.run_for(*s.p, 100);
    EXPECT_EQ(s.p->form().LblLimit.caption.get(), r.answer);
    EXPECT_EQ(s.limit_file(), bytes_of(r.after)) << r.answer;
  }
}

// A file longer than the field keeps every byte after it, however long it is.
TEST(ValidityTerm, LongFileKeepsItsTail) {
  using namespace std::string_literals;
  const std::string before = "27/12/31\0"s + std::string(100 * 1024, 't');
  Scenario s("[validity]\ndate = 27/1/5\n", bytes_of(before));
  s.connect();
  press(*s.p, s.p->form().CmdLimit);
  s.m.run_for(*s.p, 100);
  EXPECT_EQ(s.limit_file(), bytes_of("27/1/5\0"s + before.substr(7)));
}

// The stored file as start-up reads it: up to the first NUL of its first 9 bytes; a short file
// gives what it has, a file that cannot be read leaves the label empty.
TEST(ValidityTerm, StoredFileAtStart) {
  using namespace std::string_view_literals;
  struct Row {
    std::string_view file;
    std::string_view label;
  };
  const Row rows[] = {
      {"27/1/5\0"
       "1\0"sv,
       "27/1/5"},
      {"27/1/5"sv, "27/1/5"},
      {"123456789012"sv, "123456789"},
      {""sv, ""},
  };
  for (const Row& r : rows) {
    Scenario s("", bytes_of(r.file));
    EXPECT_EQ(s.p->form().LblLimit.caption.get(), r.label);
  }
  TestMachine m;
  write_settings(m, Options{});
  std::filesystem::create_directory(m.dir() / "windows" / "nimbral.dat");
  Program& p = m.start();
  EXPECT_EQ(p.form().LblLimit.caption.get(), "");
  EXPECT_TRUE(p.boxes().empty());
}

// Every failed inquiry shows 1064 with its code and detail, keeps the previous date on screen
// and in the file, and then runs the days-left check on that date.
TEST(ValidityTerm, FailuresKeepThePreviousDate) {
  const std::string long_body(5000, 'x');
  struct Row {
    std::string ini;
    std::string code;
    std::string detail;
  };
  const Row rows[] = {
      {"status = 404 Not Found", "404", "Not Found "},
      {"status = 503  Service Unavailable", "503", " Service Unavailable "},
      {"body = <html>maintenance</html>", "200", "<html>maintenance</html>"},
      {"body = " + long_body, "200", long_body.substr(0, kLongestBody)},
      {"answer = close", "12030", "The connection with the server was closed"},
      {"answer = silent", "12002", "The request timed out"},
  };
  const Bytes stored = bytes_of(std::string_view("27/01/04\0", 9));
  for (const Row& r : rows) {
    Scenario s("[validity]\n" + r.ini + "\n", stored);
    s.connect();
    press(*s.p, s.p->form().CmdLimit);
    s.m.run_for(*s.p, 31'000);
    EXPECT_EQ(s.box_texts(),
              (std::vector<std::string>{s.notice(29), s.failure(r.code, r.detail), s.notice(29)}))
        << r.ini;
    EXPECT_EQ(s.p->form().LblLimit.caption.get(), "27/01/04");
    EXPECT_NE(s.p->form().LblLimit.fore_color.get(), kBlue);
    EXPECT_EQ(s.limit_file(), stored);
  }
}

// Without a PHS number from the card Inquire says so and asks nothing.
TEST(ValidityTerm, NoPhsNumberNoRequest) {
  Scenario s;
  s.connect();
  for (const char* number : {"", "   "}) {
    s.p->app->PhsNumber = number;
    press(*s.p, s.p->form().CmdLimit);
    s.m.run_for(*s.p, 100);
  }
  EXPECT_EQ(s.box_texts(), (std::vector<std::string>{text(*s.p, 1066), text(*s.p, 1066)}));
  EXPECT_TRUE(s.requests().empty());
}

// A number with characters outside digits cannot add parameters or change the path.
TEST(ValidityTerm, NumberIsEscapedInTheQuery) {
  Scenario s;
  s.connect();
  s.p->app->PhsNumber = "070 1&x=2/../9";
  press(*s.p, s.p->form().CmdLimit);
  s.m.run_for(*s.p, 100);
  EXPECT_EQ(s.requests(), std::vector<std::string>{"http://limit.korvo-net.jp/limit/"
                                                   "GetLimit.php?PHS=070%201%26x%3D2%2F..%2F9"});
}

// While the answer is awaited the window goes on handling events: the status lamp's timer
// ticks and a page switch is served.
TEST(ValidityTerm, WindowAnswersWhileTheAnswerIsAwaited) {
  Scenario s("[validity]\ndate = 27/06/30\ndelay_ms = 5000\n");
  s.connect();
  press(*s.p, s.p->form().CmdLimit);
  s.m.run_for(*s.p, 1000);
  s.p->form().KorvoTab.selected = 2;
  s.p->handle([&] { s.p->form().KorvoTab.click(); });
  EXPECT_GT(s.p->form().Frames[1].z_order(), s.p->form().Frames[0].z_order());
  EXPECT_EQ(s.p->form().LblLimit.caption.get(), "");
  s.m.run_for(*s.p, 4100);
  EXPECT_EQ(s.p->form().LblLimit.caption.get(), "27/06/30");
  EXPECT_TRUE(s.p->boxes().empty());
}

// Inquire pressed again while the first answer's body is read overtakes it: nothing of the
// first answer is shown or stored; the second is shown and checked, once.
TEST(ValidityTerm, OvertakenInquiryIsDropped) {
  Scenario s("[validity]\ndays_left = 10\ndelay_ms = 5000\n");
  s.connect();
  press(*s.p, s.p->form().CmdLimit);
  // Due with the first answer, after it: it runs in the events let through while its body is read.
  s.m.machine().scheduler().after(5000, sim::Scheduler::Lane::Window,
                                  [&] { s.p->form().CmdLimit.click(); });
  s.m.run_for(*s.p, 5000);
  EXPECT_EQ(s.requests().size(), 2u);
  EXPECT_TRUE(s.p->boxes().empty());
  EXPECT_EQ(s.p->form().LblLimit.caption.get(), "");
  EXPECT_EQ(s.limit_file(), std::nullopt);
  s.m.run_for(*s.p, 5000);
  EXPECT_EQ(s.box_texts(), std::vector<std::string>{s.notice(10)});
  EXPECT_EQ(s.p->form().LblLimit.fore_color.get(), kBlue);
}

// The status line is split at single blanks: the second word is the code, the rest the reason
// with a blank after each word; a line without a second word has no code.
TEST(ValidityTerm, StatusLineWords) {
  struct Row {
    std::string_view block;
    std::string_view code;
    std::string_view reason;
  };
  const Row rows[] = {
      {"HTTP/1.1 200\r\n", "200", ""},
      {"HTTP/1.1  200 OK", "", "200 OK "},
      {"HTTP/1.1\r\n", "", ""},
      {"", "", ""},
  };
  for (const Row& r : rows) {
    const StatusLine status = read_status_line(r.block);
    EXPECT_EQ(status.code, r.code) << r.block;
    EXPECT_EQ(status.reason, r.reason) << r.block;
  }
}

}  // namespace
}  // namespace nimbra::validity
