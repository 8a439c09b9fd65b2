// SPDX-License-Identifier: MIT
// The network module's entry: the loopback server of the service's hosts and the HTTP client,
// routed by what the machine decides.
#include "platform/qt/loopback_http_server.h"
#include "platform/qt/qt_http.h"
#include "platform/qt/service_network.h"

namespace nimbra::qt {
namespace {

class ServiceNetwork : public platform::Http {
 public:
  explicit ServiceNetwork(const ServiceHosts& hosts)
      : server_(hosts.answer),
        http_({.route = [this, serves = hosts.serves,
                         reachable = hosts.reachable](const std::string& host) -> HostRoute {
          if (!serves(host)) return {};
          if (!reachable()) return {HostRoute::Kind::Unreachable, 0};
          return {HostRoute::Kind::Loopback, server_.port()};
        }}) {}

  void get(std::string_view url, StateHandler on_state) override {
    http_.get(url, std::move(on_state));
  }
  std::string header_block() override { return http_.header_block(); }
  std::string get_chunk(size_t max_bytes) override { return http_.get_chunk(max_bytes); }
  uint32_t error_code() override { return http_.error_code(); }
  std::string error_description() override { return http_.error_description(); }

 private:
  LoopbackHttpServer server_;
  QtHttp http_;
};

}  // namespace
}  // namespace nimbra::qt

extern "C" __attribute__((visibility("default"))) nimbra::platform::Http*
nimbra_open_service_network(const nimbra::qt::ServiceHosts& hosts) {
  return new nimbra::qt::ServiceNetwork(hosts);
}
