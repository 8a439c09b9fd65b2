// SPDX-License-Identifier: MIT
#include "accel/proxy_blob.h"

#include <algorithm>
#include <string>

#include "accel/service_endpoints.h"
#include "platform/text/bytes.h"

namespace nimbra::accel {

namespace {

constexpr uint32_t kFormatVersion = 60;
constexpr uint32_t kDirectOrProxy = 3;  // PROXY_TYPE_DIRECT | PROXY_TYPE_PROXY
constexpr size_t kHeadSize = 16;

std::string http_proxy(std::string_view host, std::string_view port) {
  return "http=" + std::string(host) + ":" + std::string(port);
}

}  // namespace

shell::ProxyBlob make_proxy_blob(uint32_t counter, std::string_view proxy_text, uint32_t length) {
  shell::ProxyBlob blob;
  const std::span<uint8_t> out(blob.bytes);
  const auto text_length = static_cast<uint32_t>(proxy_text.size());
  bytes::put_u32(out, 0, kFormatVersion);
  bytes::put_u32(out, 4, counter);
  bytes::put_u32(out, 8, kDirectOrProxy);
  bytes::put_u32(out, 12, text_length);
  std::copy(proxy_text.begin(), proxy_text.end(), blob.bytes.begin() + kHeadSize);
  // The bypass-list and configuration-address lengths that follow stay 0.
  blob.length = length;
  return blob;
}

void BuildProxyBlobs(shell::AppContext& app) {
  using namespace service;
  app.ProxyBlobDrift =
      make_proxy_blob(0x3C04, http_proxy(kDriftHost, kAcceleratorPort), kProxyValueLength);
  app.ProxyBlobBreeze =
      make_proxy_blob(1, http_proxy(kBreezeHost, kAcceleratorPort), kProxyValueLength);
  app.ProxyBlobZephyr =
      make_proxy_blob(0x3C05, http_proxy(kZephyrHost, kAcceleratorPort), kProxyValueLength);
  app.ProxyBlobQPost =
      make_proxy_blob(2, http_proxy(kQPostProxyHost, kQPostProxyPort), kProxyValueLength);
  app.ProxyBlobNone = make_proxy_blob(2, "", kNoProxyValueLength);
}

bool BlobsDiffer(std::span<const uint8_t> stored, std::span<const uint8_t> blob) {
  const size_t longer = std::max(stored.size(), blob.size());
  for (size_t i = 0; i < longer; ++i) {
    const uint8_t a = i < stored.size() ? stored[i] : 0;
    const uint8_t b = i < blob.size() ? blob[i] : 0;
    if (a != b) return true;
  }
  return false;
}

const shell::ProxyBlob* blob_for_accel_choice(const shell::AppContext& app, int32_t choice) {
  switch (choice) {
    case 0:
      return &app.ProxyBlobDrift;
    case 1:
      return &app.ProxyBlobBreeze;
    case 2:
      return &app.ProxyBlobNone;
    case 3:
      return &app.ProxyBlobZephyr;
    default:
      return nullptr;
  }
}

}  // namespace nimbra::accel
