// SPDX-License-Identifier: MIT
#include "shell/records/settings_record.h"

#include <algorithm>

#include "platform/text/bytes.h"

namespace nimbra::shell {

namespace {

// Field offsets in the file.
constexpr size_t kPlanIndex = 0;
constexpr size_t kSignature = 4;
constexpr size_t kUserName = 261;
constexpr size_t kPassword = 518;
constexpr size_t kLinkMode = 775;
constexpr size_t kAccelChoice = 779;
constexpr size_t kOptConnectOnStart = 783;
constexpr size_t kOptMeasureOnStart = 785;
constexpr size_t kOptBrowserAfterConnect = 787;
constexpr size_t kOptMailerAfterConnect = 789;
constexpr size_t kOptBrowserAfterProxy = 791;
constexpr size_t kOptMinimizeAfterConnect = 793;
constexpr size_t kOptRequestTerm = 795;
constexpr size_t kReserved = 797;
static_assert(kReserved + SettingsRecord::kReservedWidth == SettingsRecord::kSize);

}  // namespace

SettingsRecord decode_settings(std::span<const uint8_t> image) {
  std::array<uint8_t, SettingsRecord::kSize> b{};
  std::copy_n(image.begin(), std::min(image.size(), b.size()), b.begin());
  constexpr size_t kText = SettingsRecord::kTextWidth;
  SettingsRecord r;
  r.PlanIndex = bytes::get_i32(b, kPlanIndex);
  r.Signature = bytes::get_cstr(b, kSignature, kText);
  r.UserName = bytes::get_cstr(b, kUserName, kText);
  r.Password = bytes::get_cstr(b, kPassword, kText);
  r.LinkMode = bytes::get_i32(b, kLinkMode);
  r.AccelChoice = bytes::get_i32(b, kAccelChoice);
  r.OptConnectOnStart = bytes::get_i16(b, kOptConnectOnStart);
  r.OptMeasureOnStart = bytes::get_i16(b, kOptMeasureOnStart);
  r.OptBrowserAfterConnect = bytes::get_i16(b, kOptBrowserAfterConnect);
  r.OptMailerAfterConnect = bytes::get_i16(b, kOptMailerAfterConnect);
  r.OptBrowserAfterProxy = bytes::get_i16(b, kOptBrowserAfterProxy);
  r.OptMinimizeAfterConnect = bytes::get_i16(b, kOptMinimizeAfterConnect);
  r.OptRequestTerm = bytes::get_i16(b, kOptRequestTerm);
  std::copy_n(b.begin() + kReserved, r.Reserved.size(), r.Reserved.begin());
  return r;
}

std::array<uint8_t, SettingsRecord::kSize> encode_settings(const SettingsRecord& r) {
  std::array<uint8_t, SettingsRecord::kSize> b{};
  constexpr size_t kText = SettingsRecord::kTextWidth;
  bytes::put_i32(b, kPlanIndex, r.PlanIndex);
  bytes::put_cstr(b, kSignature, kText, r.Signature);
  bytes::put_cstr(b, kUserName, kText, r.UserName);
  bytes::put_cstr(b, kPassword, kText, r.Password);
  bytes::put_i32(b, kLinkMode, r.LinkMode);
  bytes::put_i32(b, kAccelChoice, r.AccelChoice);
  bytes::put_i16(b, kOptConnectOnStart, r.OptConnectOnStart);
  bytes::put_i16(b, kOptMeasureOnStart, r.OptMeasureOnStart);
  bytes::put_i16(b, kOptBrowserAfterConnect, r.OptBrowserAfterConnect);
  bytes::put_i16(b, kOptMailerAfterConnect, r.OptMailerAfterConnect);
  bytes::put_i16(b, kOptBrowserAfterProxy, r.OptBrowserAfterProxy);
  bytes::put_i16(b, kOptMinimizeAfterConnect, r.OptMinimizeAfterConnect);
  bytes::put_i16(b, kOptRequestTerm, r.OptRequestTerm);
  std::copy(r.Reserved.begin(), r.Reserved.end(), b.begin() + kReserved);
  return b;
}

}  // namespace nimbra::shell
