// SPDX-License-Identifier: MIT
#include "platform/linux/pppd/modem_answer.h"

#include <array>
#include <cctype>

#include "platform/ras.h"

namespace nimbra::lnx {

namespace {

struct ResultCode {
  std::string_view text;
  ModemAnswer answer;
  bool takes_suffix;  // "CONNECT 115200", "CONNECT/ARQ"
};

constexpr std::array kResultCodes{
    ResultCode{"OK", ModemAnswer::Ok, false},
    ResultCode{"CONNECT", ModemAnswer::Connect, true},
    ResultCode{"BUSY", ModemAnswer::Busy, false},
    ResultCode{"NO CARRIER", ModemAnswer::NoCarrier, false},
    ResultCode{"NO DIALTONE", ModemAnswer::NoDialtone, false},
    ResultCode{"NO DIAL TONE", ModemAnswer::NoDialtone, false},
    ResultCode{"NO ANSWER", ModemAnswer::NoAnswer, false},
    ResultCode{"ERROR", ModemAnswer::Error, false},
    // Refusals some modems give for a number they will not dial now.
    ResultCode{"DELAYED", ModemAnswer::Error, true},
    ResultCode{"BLACKLISTED", ModemAnswer::Error, true},
};

bool same_letters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) != b[i]) return false;
  }
  return true;
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

}  // namespace

std::optional<ModemAnswer> modem_answer_of_line(std::string_view line) {
  line = trimmed(line);
  for (const ResultCode& code : kResultCodes) {
    if (same_letters(line, code.text)) return code.answer;
    if (code.takes_suffix && line.size() > code.text.size() &&
        same_letters(line.substr(0, code.text.size()), code.text)) {
      const char next = line[code.text.size()];
      if (next == ' ' || next == '/') return code.answer;
    }
  }
  return std::nullopt;
}

uint32_t ras_error_of(ModemAnswer answer) {
  switch (answer) {
    case ModemAnswer::Ok:
    case ModemAnswer::Connect:
      return platform::RAS_SUCCESS;
    case ModemAnswer::Busy:
      return platform::ERROR_LINE_BUSY;
    case ModemAnswer::NoCarrier:
      return platform::ERROR_NO_CARRIER;
    case ModemAnswer::NoDialtone:
      return platform::ERROR_NO_DIALTONE;
    case ModemAnswer::NoAnswer:
      return platform::ERROR_NO_ANSWER;
    case ModemAnswer::Error:
      return platform::ERROR_FROM_DEVICE;
  }
  return platform::ERROR_FROM_DEVICE;
}

}  // namespace nimbra::lnx
