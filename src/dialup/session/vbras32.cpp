// SPDX-License-Identifier: MIT
#include "dialup/session/vbras32.h"

#include <algorithm>
#include <vector>

#include "dialup/session/device_acceptance.h"
#include "platform/text/bytes.h"
#include "shell/ansi_text.h"
#include "shell/messages.h"
#include "shell/version_check.h"

namespace nimbra::dialup {

namespace {

constexpr uint32_t kHangUpPauseMs = 1000;
constexpr size_t kErrorTextBuffer = 255;
// The entry size RAS asks for is outside data; no entry of any Windows comes near this.
constexpr uint32_t kMaxEntrySize = 64 * 1024;

}  // namespace

VBRas32::VBRas32(shell::AppContext& app) : app_(app), ras_(app.platform.ras) {
  namespace vr = platform::version_record;
  std::vector<uint8_t> record(vr::kSize, 0);
  bytes::put_u32(record, vr::kSizeField, vr::kSize);
  app.platform.kernel.GetVersionExA(record);
  platform_id_ = bytes::get_u32(record, vr::kPlatformId);
  shell::OsClass os;
  shell::classify_version(platform_id_, bytes::get_u32(record, vr::kMajor),
                          bytes::get_u32(record, vr::kMinor), os);
  OSVer98 = platform_id_ == shell::kPlatformWin9x;
  OSVerAll = os.OsCode;
  if (platform_id_ == shell::kPlatformWin9x) app.RasEntrySize = 1768;
  if (platform_id_ == shell::kPlatformNt) app.RasEntrySize = OSVerAll == 130 ? 2088 : 2884;

  ras_event_msg_ = app.platform.window.RegisterWindowMessageA(platform::kRasDialEventName);
  if (ras_event_msg_ == 0) ras_event_msg_ = kFixedRasEventMsg;
  RefreshEntries();
}

void VBRas32::set_text(std::optional<std::string>& field, std::string_view text) {
  if (text.empty()) {
    field.reset();
  } else {
    field = std::string(text);
  }
}

std::string VBRas32::ansi(std::string_view utf8_text) const {
  return shell::to_ansi(app_, utf8_text);
}

std::string VBRas32::utf8(std::string_view ansi_text) const {
  return shell::from_ansi(app_, ansi_text);
}

void VBRas32::PutEnumUserName(int16_t Index, std::string_view InString) {
  enum_user_name_.at(slot(Index)) = std::string(InString);
}

void VBRas32::PutEnumPassword(int16_t Index, std::string_view InString) {
  enum_password_.at(slot(Index)) = std::string(InString);
}

uint32_t VBRas32::RefreshEntries() {
  if (platform_id_ == shell::kPlatformWin9x) return GetEnumEntries98();
  if (platform_id_ == shell::kPlatformNt) return GetEnumEntriesNT();
  return 0;
}

uint32_t VBRas32::GetEnumEntriesNT() {
  return read_entry(platform::kDialParamsNT, true);
}

uint32_t VBRas32::GetEnumEntries98() {
  return read_entry(platform::kDialParams9x, false);
}

uint32_t VBRas32::read_entry(const platform::DialParamsLayout& layout, bool nt_family) {
  entry_count_ = 0;
  m_DeviceName.clear();
  const std::string phone_book = ansi(PhoneBook());
  const platform::OptText book =
      phone_book_ ? platform::OptText(phone_book) : platform::OptText(std::nullopt);

  uint32_t default_size = 0;
  ras_.RasGetEntryPropertiesA(std::nullopt, std::nullopt, {}, default_size);
  uint32_t entry_size = 0;
  if (ras_.RasGetEntryPropertiesA(book, kEntryName, {}, entry_size) !=
      platform::ERROR_BUFFER_TOO_SMALL) {
    shell::fail_with_message(app_, 122);
  }
  for (auto* slots : {&enum_entries_, &enum_phone_num_, &enum_callback_number_, &enum_user_name_,
                      &enum_password_, &enum_domain_}) {
    slots->fill({});
  }

  // RAS fills at most the size it named; a record too short to hold a device name has none.
  entry_size = std::min(entry_size, kMaxEntrySize);
  std::vector<uint8_t> record(entry_size, 0);
  if (entry_size >= 4) bytes::put_u32(record, 0, default_size);
  ras_.RasGetEntryPropertiesA(book, kEntryName, record, entry_size);
  const auto field = device_name_field(record, default_size);
  std::string device_name;
  CopyByteToTrimmedString(device_name, field, static_cast<uint32_t>(field.size()));
  if (!device_accepted(device_name, nt_family)) shell::fail_with_message(app_, 162);
  m_DeviceName = device_name;
  enum_entries_[0] = std::string(kEntryName);

  platform::DialParams wanted;
  wanted.entry_name = ansi(enum_entries_[0]);
  std::vector<uint8_t> params = build_dial_params(layout, wanted);
  bool password_stored = false;
  const uint32_t result = ras_.RasGetEntryDialParamsA(book, params, password_stored);
  const platform::DialParams stored = platform::read_dial_params(params, layout);
  enum_phone_num_[0] = utf8(stored.phone_number);
  enum_callback_number_[0] = utf8(stored.callback_number);
  enum_user_name_[0] = utf8(stored.user_name);
  enum_password_[0] = utf8(stored.password);
  enum_domain_[0] = utf8(stored.domain);
  entry_count_ = 1;
  return result;
}

uint32_t VBRas32::Dialup() {
  uint32_t result = 0;
  if (platform_id_ == shell::kPlatformWin9x) {
    result = DialUp98(Entry(), PhoneNum(), UserID(), Password(), Domain());
  } else if (platform_id_ == shell::kPlatformNt) {
    result = DialUpNT(Entry(), PhoneNum(), UserID(), Password(), Domain());
  }
  if (result != 0) {
    if (ConnectError) ConnectError(result);
    const shell::Catalogue& cat = app_.catalogue;
    const std::string text = cat.str(109) + shell::compose_number(result) + cat.str(105);
    app_.platform.window.message_box(text, cat.text(1001), platform::MsgBoxButtons::Ok);
    HangUp();
  } else if (parent_window_ == 0 && ConnectComplete) {
    ConnectComplete();
  }
  return result;
}

uint32_t VBRas32::DialUpNT(std::string_view EntryName, std::string_view PhoneNum,
                           std::string_view UserName, std::string_view Password,
                           std::string_view DomainName) {
  const std::string phone_book = ansi(this->PhoneBook());
  return dial(
      platform::kDialParamsNT,
      phone_book_ ? platform::OptText(phone_book) : platform::OptText(std::nullopt),
      {ansi(EntryName), ansi(PhoneNum), "", ansi(UserName), ansi(Password), ansi(DomainName)});
}

uint32_t VBRas32::DialUp98(std::string_view EntryName, std::string_view PhoneNum,
                           std::string_view UserName, std::string_view Password,
                           std::string_view DomainName) {
  return dial(
      platform::kDialParams9x, std::nullopt,
      {ansi(EntryName), ansi(PhoneNum), "", ansi(UserName), ansi(Password), ansi(DomainName)});
}

uint32_t VBRas32::dial(const platform::DialParamsLayout& layout, platform::OptText phone_book,
                       const platform::DialParams& params) {
  const std::vector<uint8_t> record = build_dial_params(layout, params);
  const uint32_t notifier_type = parent_window_ != 0 ? platform::kNotifierWindow : 0;
  const uint32_t result =
      ras_.RasDialA(phone_book, record, notifier_type, parent_window_, connection_);
  // A synchronous dial that failed leaves a half-open port behind.
  if (parent_window_ == 0 && result != 0) {
    ras_.RasHangUpA(connection_);
    app_.platform.kernel.Sleep(kHangUpPauseMs);
    connection_ = 0;
  }
  return result;
}

uint32_t VBRas32::HangUp() {
  const uint32_t result = ras_.RasHangUpA(connection_);
  // RAS needs the pause to release the port before the next dial.
  app_.platform.kernel.Sleep(kHangUpPauseMs);
  connection_ = 0;
  return result;
}

std::string VBRas32::ErrMsg(uint32_t RasErr) {
  std::array<char, kErrorTextBuffer> buffer{};
  ras_.RasGetErrorStringA(RasErr, buffer);
  const auto end = std::find(buffer.begin(), buffer.end(), '\0');
  return utf8(std::string_view(buffer.data(), static_cast<size_t>(end - buffer.begin())));
}

bool VBRas32::SeekEnumConns(std::string_view Entry, bool SetProp) {
  const platform::ConnectionLayout* layout = nullptr;
  if (platform_id_ == shell::kPlatformWin9x) layout = &platform::kConnections9x;
  if (platform_id_ == shell::kPlatformNt) layout = &platform::kConnectionsNT;
  if (layout == nullptr) return false;
  ConnectionStorage storage;
  const std::span<uint8_t> buffer = connection_buffer(*layout, storage);
  auto size = static_cast<uint32_t>(buffer.size());
  uint32_t count = 0;
  if (ras_.RasEnumConnectionsA(buffer, size, count) != 0) return false;
  const std::string wanted = ansi(Entry);
  for (const ConnectionRecord& record : parse_connections(*layout, buffer, count)) {
    if (record.entry_name != wanted) continue;
    if (SetProp) {
      this->Entry(utf8(record.entry_name));
      connection_ = record.handle;
    }
    return true;
  }
  return false;
}

void VBRas32::CopyByteToTrimmedString(std::string& strToCopyTo, std::span<const uint8_t> bPos,
                                      uint32_t lngMaxLen) const {
  const size_t length = std::min<size_t>(lngMaxLen, bPos.size());
  strToCopyTo = utf8(bytes::get_cstr(bPos, 0, length));
}

}  // namespace nimbra::dialup
