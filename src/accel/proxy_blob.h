// SPDX-License-Identifier: MIT
// The five ready-made per-connection proxy values, built once by the entry, and how a stored
// value is recognised as one of them.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "shell/app_context.h"

namespace nimbra::accel {

// Length of the values that carry a proxy text, and of the one that carries none.
inline constexpr uint32_t kProxyValueLength = 82;
inline constexpr uint32_t kNoProxyValueLength = 52;

// A value: format version 60, `counter`, flags "direct or proxy", the proxy text with its
// length, empty bypass list and configuration address, zero padding up to `length`.
shell::ProxyBlob make_proxy_blob(uint32_t counter, std::string_view proxy_text, uint32_t length);

// Fills ProxyBlobDrift, ProxyBlobBreeze, ProxyBlobZephyr, ProxyBlobQPost and ProxyBlobNone.
void BuildProxyBlobs(shell::AppContext& app);

// True when the values differ; a position beyond a value's end counts as a zero byte, so a
// value followed by extra zeros still matches.
bool BlobsDiffer(std::span<const uint8_t> stored, std::span<const uint8_t> blob);

// The value an accelerator choice stands for (0 Drift, 1 Breeze, 2 none, 3 Zephyr); nothing
// for any other choice.
const shell::ProxyBlob* blob_for_accel_choice(const shell::AppContext& app, int32_t choice);

}  // namespace nimbra::accel
