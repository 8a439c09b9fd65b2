// SPDX-License-Identifier: MIT
// The HTTP client of a simulated program instance. The service's hosts are served by the
// machine's validity server in virtual time; any other host name does not resolve. The outcome
// of a request is window work, so the program hears it when it lets pending events run or
// waits in its message loop.
#pragma once

#include <string>
#include <vector>

#include "platform/http.h"
#include "platform/web/http_url.h"
#include "platform/sim/clock/scheduler.h"
#include "platform/sim/web/validity_server.h"

namespace nimbra::sim {

class SimHttp : public platform::Http {
 public:
  SimHttp(Scheduler& scheduler, const ValidityServer& server);
  ~SimHttp() override;
  SimHttp(const SimHttp&) = delete;
  SimHttp& operator=(const SimHttp&) = delete;

  void get(std::string_view url, StateHandler on_state) override;
  std::string header_block() override { return header_block_; }
  std::string get_chunk(size_t max_bytes) override;
  uint32_t error_code() override { return error_code_; }
  std::string error_description() override {
    return std::string(platform::describe_http_error(error_code_));
  }

  // Control face: the URLs asked for, in order.
  const std::vector<std::string>& requests() const { return requests_; }

 private:
  void fail_after(uint64_t delay_ms, StateHandler on_state, uint32_t code);

  Scheduler& scheduler_;
  const ValidityServer& server_;
  Scheduler::TaskId pending_ = 0;
  std::string header_block_;
  std::string body_;
  size_t body_read_ = 0;
  uint32_t error_code_ = 0;
  std::vector<std::string> requests_;
};

}  // namespace nimbra::sim
