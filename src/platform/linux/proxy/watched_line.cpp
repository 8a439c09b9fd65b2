// SPDX-License-Identifier: MIT
#include "platform/linux/proxy/watched_line.h"

namespace nimbra::lnx {

uint32_t WatchedLine::start(const Call& call, Report report) {
  return line_.start(
      call, [this, report = std::move(report)](platform::HRASCONN handle,
                                               platform::RasConnState state, uint32_t error) {
        report(handle, state, error);
        tell();
      });
}

void WatchedLine::end(platform::HRASCONN handle, std::string_view entry) {
  line_.end(handle, entry);
  tell();
}

}  // namespace nimbra::lnx
