// SPDX-License-Identifier: MIT
// The simulated card answers the basic modem command set as a real modem does, and keeps the
// exact replies of the card's own commands.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "nimbra_test/temp_dir.h"
#include "platform/sim/card/card_model.h"
#include "platform/sim/card/pty_card.h"

namespace nimbra::sim {
namespace {

// Everything the card sends back for one command line.
std::string send(CardModel& card, std::string_view line) {
  std::string bytes;
  for (const CardOutput& out : card.receive(std::string(line) + "\r")) bytes += out.bytes;
  return bytes;
}

// Each row sends its lines to a fresh card with echo off; the last line's answer is checked.
TEST(ModemCommands, AnswersLikeAModem) {
  struct Row {
    std::vector<std::string_view> lines;
    std::string_view answer;
  };
  const Row rows[] = {
      {{"ATZ E1 Q0 V1 &C1 &D2 S0=0 +FCLASS=0"}, "\r\nOK\r\n"},
      {{"ATQ0V1E0S0=0&C1&D2+FCLASS=0"}, "\r\nOK\r\n"},
      {{"at&f"}, "\r\nOK\r\n"},
      {{"ATS0?"}, "\r\n000\r\n\r\nOK\r\n"},
      {{"ATS7=60", "ATS7?"}, "\r\n060\r\n\r\nOK\r\n"},
      {{"ATS0=2", "ATZ", "ATS0?"}, "\r\n000\r\n\r\nOK\r\n"},
      {{"ATS7=256"}, "\r\nERROR\r\n"},
      {{"AT+FCLASS?"}, "\r\n0\r\n\r\nOK\r\n"},
      {{"AT+FCLASS=?"}, "\r\n(0)\r\n\r\nOK\r\n"},
      {{"AT+FCLASS=1"}, "\r\nERROR\r\n"},
      {{"AT+GCAP"}, "\r\n+GCAP: +FCLASS\r\n\r\nOK\r\n"},
      {{"AT+GMI;+GMM"}, "\r\nARLEN DENSHI CO.,LTD.\r\n\r\nKVT30-J\r\n\r\nOK\r\n"},
      {{"AT+GMR"}, "\r\nVer 1.00\r\n\r\nOK\r\n"},
      {{"ATI0"}, "\r\nKVT30-J\r\n\r\nOK\r\n"},
      {{"ATI4"}, "\r\nKVT30-J\r\n\r\nOK\r\n"},
      {{"ATI6"}, "\r\n07012345678\r\n\r\nOK\r\n"},
      {{"AT@@LVL"}, "0005\r\n54300\r\n\r\nOK\r\n"},
      {{"ATV0", "AT"}, "0\r"},
      {{"ATV0", "ATI4"}, "KVT30-J\r\n0\r"},
      {{"ATV0", "ATW"}, "4\r"},
      {{"ATV0", "ATDT123"}, "1\r"},
      {{"ATQ1", "AT&C1"}, ""},
      {{"ATQ1", "ATI5"}, "\r\nVer 1.00\r\n"},
      {{"ATE1 Q0 V1 DT##61"}, "\r\nCONNECT\r\n"},
      {{"ATE1 Q0 V1 DT##61", "AT"}, "AT\r\r\nOK\r\n"},
      {{"ATV0 Q2 V1"}, "4\r"},  // stops at Q2: V stays 0
      {{"AT&C2"}, "\r\nERROR\r\n"},
      {{"AT&Y"}, "\r\nERROR\r\n"},
      {{"AT+CSQ"}, "\r\nERROR\r\n"},
  };
  CardSettings settings;
  settings.echo = false;
  for (const Row& row : rows) {
    CardModel card(settings);
    std::string answer;
    for (const std::string_view line : row.lines) answer = send(card, line);
    EXPECT_EQ(answer, row.answer) << row.lines.back();
  }
}

// E0 turns the echo off from the next line on, ATZ brings the machine's echo setting back.
TEST(ModemCommands, EchoFollowsE) {
  CardModel card(CardSettings{});
  EXPECT_EQ(send(card, "ATE0"), "ATE0\r\r\nOK\r\n");
  EXPECT_EQ(send(card, "AT"), "\r\nOK\r\n");
  EXPECT_FALSE(card.echo());
  EXPECT_EQ(send(card, "ATZ"), "\r\nOK\r\n");
  EXPECT_TRUE(card.echo());
}

// pppd's chat, on the card's pseudo-terminal, gets OK to a dialer's init line and CONNECT to
// the dial.
TEST(ModemCommands, ChatDialsThePseudoTerminalCard) {
  const std::filesystem::path chat = "/usr/sbin/chat";
  if (!std::filesystem::exists(chat)) GTEST_SKIP() << "chat (package ppp) is not installed";
  test::TempDir dir;
  const std::filesystem::path log = dir / "chat.log";
  PtyCard card(CardSettings{});
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const int line = ::open(card.slave_path().c_str(), O_RDWR | O_NOCTTY);
    const int err = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (line < 0 || err < 0) ::_exit(120);
    ::dup2(line, 0);
    ::dup2(line, 1);
    ::dup2(err, 2);
    ::execl(chat.c_str(), "chat", "-V", "-t", "5", "ABORT", "BUSY", "ABORT", "NO CARRIER", "ABORT",
            "ERROR", "", "ATZ", "OK", "ATQ0 V1 E1 S0=0 &C1 &D2 +FCLASS=0", "OK", "ATDT##61",
            "CONNECT", static_cast<char*>(nullptr));
    ::_exit(121);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  std::ifstream in(log);
  const std::string said(std::istreambuf_iterator<char>(in), {});
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << said;
  const std::vector<std::string> commands = card.commands();
  const std::vector<std::string> expected{"ATZ", "ATQ0 V1 E1 S0=0 &C1 &D2 +FCLASS=0", "ATDT##61"};
  EXPECT_EQ(commands, expected);
}

}  // namespace
}  // namespace nimbra::sim
