// SPDX-License-Identifier: MIT
// The basic command set every modem answers, as dialers send it in their init lines
// ("ATZ E1 Q0 V1 &C1 &D2 S0=0 +FCLASS=0"): the settings those commands change, what one
// command line answers before its final result code, and how V and Q frame the answer.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nimbra::sim {

inline constexpr size_t kSRegisters = 256;

struct ModemState {
  explicit ModemState(bool echo_on_reset) : echo_after_reset(echo_on_reset) { reset(); }
  // Z and &F: the settings after power-on.
  void reset();

  bool echo_after_reset;
  bool echo = true;
  bool quiet = false;   // Q1: no result codes
  bool verbose = true;  // V0: numeric result codes
  int dcd_mode = 1;     // &C
  int dtr_mode = 2;     // &D
  std::array<uint8_t, kSRegisters> s{};
};

// What the identification commands (I, +GMI, +GMM, +GMR) answer.
struct ModemIdentity {
  std::string_view maker;
  std::string_view model_code;
  std::string_view firmware;
  std::string_view phs_number;
};

struct LineOutcome {
  enum class Final { Ok, Error, Dial };
  std::vector<std::string> info;  // information text, one entry a line
  Final final = Final::Ok;
};

// Runs the commands of one line (the text after "AT") in order; the first one the modem does
// not know stops the line with ERROR, a dial command ends it.
LineOutcome run_command_line(std::string_view body, ModemState& modem,
                             const ModemIdentity& identity);

// One line of information text, framed as V says.
std::string info_text(const ModemState& modem, std::string_view line);
// A result code given by its verbose word (OK, CONNECT, BUSY, ...), framed as V and Q say.
std::string result_code(const ModemState& modem, std::string_view verbose);

}  // namespace nimbra::sim
