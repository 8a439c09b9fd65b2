// SPDX-License-Identifier: MIT
#include "platform/qt/service_network.h"

#include "platform/web/http_url.h"

#include <QLibrary>
#include <QTimer>
#include <cstdio>

namespace nimbra::qt {

LazyServiceNetwork::LazyServiceNetwork(ServiceHosts hosts, std::vector<std::string> module_paths)
    : hosts_(std::move(hosts)), module_paths_(std::move(module_paths)) {}

// The module stays loaded for the life of the process: its code is behind network_.
LazyServiceNetwork::~LazyServiceNetwork() = default;

bool LazyServiceNetwork::load() {
  if (network_) return true;
  if (load_failed_) return false;
  for (const std::string& path : module_paths_) {
    QLibrary module(QString::fromStdString(path));
    const auto open = reinterpret_cast<OpenServiceNetwork>(module.resolve(kOpenServiceNetwork));
    if (!open) continue;
    network_.reset(open(hosts_));
    if (network_) return true;
  }
  std::fprintf(stderr, "nimbra: the network module could not be loaded\n");
  load_failed_ = true;
  return false;
}

void LazyServiceNetwork::get(std::string_view url, StateHandler on_state) {
  if (load()) return network_->get(url, std::move(on_state));
  // As any failure: later, on the event loop.
  QTimer::singleShot(0, [on_state = std::move(on_state)] { on_state(platform::icError); });
}

std::string LazyServiceNetwork::header_block() {
  return network_ ? network_->header_block() : "";
}

std::string LazyServiceNetwork::get_chunk(size_t max_bytes) {
  return network_ ? network_->get_chunk(max_bytes) : "";
}

uint32_t LazyServiceNetwork::error_code() {
  return network_ ? network_->error_code() : platform::ERROR_INTERNET_CANNOT_CONNECT;
}

std::string LazyServiceNetwork::error_description() {
  return network_ ? network_->error_description()
                  : std::string(platform::describe_http_error(error_code()));
}

}  // namespace nimbra::qt
