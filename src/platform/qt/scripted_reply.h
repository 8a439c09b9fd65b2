// SPDX-License-Identifier: MIT
// One answer of the loopback HTTP server, scripted byte by byte. Apart from the server so that
// the program can script answers without the network module.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace nimbra::qt {

struct ScriptedReply {
  uint32_t delay_ms = 0;              // before the first piece
  std::vector<std::string> segments;  // each written and flushed on its own
  uint32_t gap_ms = 0;                // between two pieces
  bool keep_open = false;             // after the last piece: never close
};

}  // namespace nimbra::qt
