// SPDX-License-Identifier: MIT
// The modem's answers to the dial, and the remote-access error each stands for.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace nimbra::lnx {

enum class ModemAnswer { Ok, Connect, Busy, NoCarrier, NoDialtone, NoAnswer, Error };

// The result code a line holds ("CONNECT 115200" is Connect); nothing for echoes and other
// lines. Letter case is ignored.
std::optional<ModemAnswer> modem_answer_of_line(std::string_view line);

// 0 for Ok and Connect, else the remote-access error the answer stands for.
uint32_t ras_error_of(ModemAnswer answer);

}  // namespace nimbra::lnx
