// SPDX-License-Identifier: MIT
#include "platform/sim/web/sim_http.h"

#include <algorithm>

namespace nimbra::sim {

using platform::kHttpTimeoutMs;

SimHttp::SimHttp(Scheduler& scheduler, const ValidityServer& server)
    : scheduler_(scheduler), server_(server) {}

SimHttp::~SimHttp() {
  scheduler_.cancel(pending_);
}

void SimHttp::get(std::string_view url, StateHandler on_state) {
  scheduler_.cancel(pending_);
  requests_.emplace_back(url);
  header_block_.clear();
  body_.clear();
  body_read_ = 0;
  platform::HttpUrl parsed;
  if (!platform::parse_http_url(url, parsed)) {
    fail_after(0, std::move(on_state), platform::ERROR_INTERNET_INVALID_URL);
    return;
  }
  if (!ValidityServer::serves(parsed.host)) {
    fail_after(0, std::move(on_state), platform::ERROR_INTERNET_NAME_NOT_RESOLVED);
    return;
  }
  const ServiceAnswer answer = server_.answer(parsed.target);
  const uint32_t delay = std::min(answer.delay_ms, kHttpTimeoutMs);
  switch (answer.kind) {
    case ServiceAnswer::Kind::Unreachable:
      fail_after(0, std::move(on_state), platform::ERROR_INTERNET_CANNOT_CONNECT);
      return;
    case ServiceAnswer::Kind::Silent:
      fail_after(kHttpTimeoutMs, std::move(on_state), platform::ERROR_INTERNET_TIMEOUT);
      return;
    case ServiceAnswer::Kind::Close:
      fail_after(delay, std::move(on_state),
                 delay < kHttpTimeoutMs ? platform::ERROR_INTERNET_CONNECTION_ABORTED
                                        : platform::ERROR_INTERNET_TIMEOUT);
      return;
    case ServiceAnswer::Kind::Respond:
      break;
  }
  if (delay == kHttpTimeoutMs) {
    fail_after(delay, std::move(on_state), platform::ERROR_INTERNET_TIMEOUT);
    return;
  }
  pending_ = scheduler_.after(delay, Scheduler::Lane::Window,
                              [this, answer, on_state = std::move(on_state)] {
                                pending_ = 0;
                                header_block_ = answer.header_block();
                                body_ = answer.body.substr(0, platform::kMaxHttpBody);
                                on_state(platform::icResponseCompleted);
                              });
}

std::string SimHttp::get_chunk(size_t max_bytes) {
  const std::string chunk = body_.substr(std::min(body_read_, body_.size()), max_bytes);
  body_read_ += chunk.size();
  return chunk;
}

void SimHttp::fail_after(uint64_t delay_ms, StateHandler on_state, uint32_t code) {
  pending_ = scheduler_.after(delay_ms, Scheduler::Lane::Window,
                              [this, code, on_state = std::move(on_state)] {
                                pending_ = 0;
                                error_code_ = code;
                                on_state(platform::icError);
                              });
}

}  // namespace nimbra::sim
