// SPDX-License-Identifier: MIT
// The desktop's network: the service's hosts served by the machine on the loopback interface,
// and the HTTP client that reaches them (and the internet). It lives in a module of its own,
// loaded at the first request, so that a run that never asks the service does not carry the
// toolkit's network libraries.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/http.h"
#include "platform/qt/scripted_reply.h"

namespace nimbra::qt {

// What the machine decides about the service's hosts.
struct ServiceHosts {
  std::function<bool(const std::string& host)> serves;  // a host the machine answers for
  std::function<bool()> reachable;                      // its call to the service is up
  std::function<ScriptedReply(const std::string& target)> answer;
};

// The module's one entry point, by this name.
inline constexpr char kOpenServiceNetwork[] = "nimbra_open_service_network";
using OpenServiceNetwork = platform::Http* (*)(const ServiceHosts& hosts);

// Loads the module on the first request; later calls go straight to it. When the module cannot
// be loaded the request fails with ERROR_INTERNET_CANNOT_CONNECT, reported as any failure is.
class LazyServiceNetwork : public platform::Http {
 public:
  // `module_paths` are tried in order.
  LazyServiceNetwork(ServiceHosts hosts, std::vector<std::string> module_paths);
  ~LazyServiceNetwork() override;

  void get(std::string_view url, StateHandler on_state) override;
  std::string header_block() override;
  std::string get_chunk(size_t max_bytes) override;
  uint32_t error_code() override;
  std::string error_description() override;

  bool loaded() const { return network_ != nullptr; }

 private:
  bool load();

  ServiceHosts hosts_;
  std::vector<std::string> module_paths_;
  std::unique_ptr<platform::Http> network_;
  bool load_failed_ = false;
};

}  // namespace nimbra::qt
