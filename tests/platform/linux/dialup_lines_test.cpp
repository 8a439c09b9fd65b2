// SPDX-License-Identifier: MIT
// Reading a modem's answers and pppd's log: lines out of the byte stream, result codes out of
// lines, dial states out of log lines.
#include <gtest/gtest.h>

#include "platform/linux/pppd/modem_answer.h"
#include "platform/linux/pppd/pppd_log.h"
#include "platform/linux/pppd/text_lines.h"

namespace nimbra {
namespace {

using lnx::ModemAnswer;

// Result codes are whole lines, in any letter case; CONNECT may carry the speed or protocol.
TEST(ModemAnswerLines, ResultCodes) {
  const std::pair<std::string_view, std::optional<ModemAnswer>> rows[] = {
      {"OK", ModemAnswer::Ok},
      {" ok ", ModemAnswer::Ok},
      {"CONNECT", ModemAnswer::Connect},
      {"CONNECT 115200", ModemAnswer::Connect},
      {"connect/ARQ", ModemAnswer::Connect},
      {"CONNECTED", std::nullopt},
      {"NO DIAL TONE", ModemAnswer::NoDialtone},
      {"DELAYED 10", ModemAnswer::Error},
      {"ATD##610570000300", std::nullopt},
  };
  for (const auto& [line, answer] : rows)
    EXPECT_EQ(lnx::modem_answer_of_line(line), answer) << line;
}

// Lines end at CR or LF, empty ones are skipped, a line split over reads is whole, and a long
// line is cut at the bound.
TEST(ModemAnswerLines, SplitsBoundedLines) {
  lnx::TextLines lines;
  EXPECT_EQ(lines.feed("\r\nOK\r\nCONN"), (std::vector<std::string>{"OK"}));
  EXPECT_EQ(lines.feed("ECT\r\n"), (std::vector<std::string>{"CONNECT"}));
  const auto long_line = lines.feed(std::string(2000, 'x') + "\nBUSY\n");
  ASSERT_EQ(long_line.size(), 2u);
  EXPECT_EQ(long_line[0].size(), lnx::TextLines::kMaxLine);
  EXPECT_EQ(long_line[1], "BUSY");
}

// Only lines at their start tell progress; a remote address is no news.
TEST(PppdLogLines, States) {
  EXPECT_EQ(lnx::state_of_pppd_line("CHAP authentication succeeded"),
            platform::RASCS_Authenticated);
  EXPECT_EQ(lnx::state_of_pppd_line("remote IP address 10.64.0.1"), std::nullopt);
  EXPECT_EQ(lnx::state_of_pppd_line("Peer said: Connect: x"), std::nullopt);
}

}  // namespace
}  // namespace nimbra
