// SPDX-License-Identifier: MIT
// The RAS session object: the program's only door to remote access. It reads the entry
// KVAUTODL and its stored dial parameters (ending the program when the entry is missing or uses
// a device that is not supported), dials with progress posted to the parent window, hangs up,
// finds the entry's connection and turns error codes into text. Texts are UTF-8 here and ANSI in
// the records.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "dialup/session/ras_records.h"
#include "platform/ras.h"
#include "shell/app_context.h"

namespace nimbra::dialup {

inline constexpr std::string_view kEntryName = "KVAUTODL";
// The dial-event message when the window system cannot register one.
inline constexpr uint32_t kFixedRasEventMsg = 52429;

class VBRas32 {
 public:
  // Reads the version, registers the dial-event message and reads the entry; may end the
  // program (messages 122 and 162). Sets the context's RasEntrySize.
  explicit VBRas32(shell::AppContext& app);
  VBRas32(const VBRas32&) = delete;
  VBRas32& operator=(const VBRas32&) = delete;

  int32_t m_AutoDial = 10;     // redial trials
  int32_t m_AutoDialWait = 5;  // seconds before a redial
  std::string m_DeviceName;    // the entry's device
  bool OSVer98 = false;        // the Windows 95/98/Me platform
  int16_t OSVerAll = 0;        // 10, 20, 30, 110, 120, 130, 140; 0 for anything else

  // Raised by Dialup; nobody subscribes yet.
  std::function<void(uint32_t RasErrCode)> ConnectError;
  std::function<void()> ConnectComplete;

  platform::HRASCONN Connection() const { return connection_; }
  uint32_t EntryCount() const { return entry_count_; }
  uint32_t RasEventMsg() const { return ras_event_msg_; }

  // Assigning "" makes a text absent; an absent text reads as "" and reaches RAS as null.
  std::string PhoneBook() const { return phone_book_.value_or(""); }
  void PhoneBook(std::string_view PhonebookFile) { set_text(phone_book_, PhonebookFile); }
  std::string Entry() const { return entry_.value_or(""); }
  void Entry(std::string_view szEntryName) { set_text(entry_, szEntryName); }
  std::string PhoneNum() const { return phone_num_.value_or(""); }
  void PhoneNum(std::string_view szPhoneNum) { set_text(phone_num_, szPhoneNum); }
  std::string UserID() const { return user_id_.value_or(""); }
  void UserID(std::string_view szUserID) { set_text(user_id_, szUserID); }
  std::string Password() const { return password_.value_or(""); }
  void Password(std::string_view szPassword) { set_text(password_, szPassword); }
  std::string Domain() const { return domain_.value_or(""); }
  void Domain(std::string_view szDomain) { set_text(domain_, szDomain); }
  platform::Hwnd ParentWindow() const { return parent_window_; }
  void ParentWindow(platform::Hwnd hwnd) { parent_window_ = hwnd; }

  // Slot `Index` (0 or 1) of the entry arrays; only slot 0 is ever filled.
  std::string EnumEntries(int16_t Index) const { return enum_entries_.at(slot(Index)); }
  std::string EnumPhoneNum(int16_t Index) const { return enum_phone_num_.at(slot(Index)); }
  std::string EnumCallbackNumber(int16_t Index) const {
    return enum_callback_number_.at(slot(Index));
  }
  std::string EnumUserName(int16_t Index) const { return enum_user_name_.at(slot(Index)); }
  std::string EnumPassword(int16_t Index) const { return enum_password_.at(slot(Index)); }
  std::string EnumDomain(int16_t Index) const { return enum_domain_.at(slot(Index)); }
  void PutEnumUserName(int16_t Index, std::string_view InString);
  void PutEnumPassword(int16_t Index, std::string_view InString);

  // Reads the entry by the platform's variant; 0 without reading on an unknown platform.
  uint32_t RefreshEntries();
  uint32_t GetEnumEntriesNT();
  uint32_t GetEnumEntries98();

  // Dials Entry with PhoneNum, UserID, Password and Domain. A dial refused at once raises
  // ConnectError, shows message 109 + code + 105 and hangs up.
  uint32_t Dialup();
  uint32_t DialUpNT(std::string_view EntryName, std::string_view PhoneNum,
                    std::string_view UserName, std::string_view Password,
                    std::string_view DomainName);
  uint32_t DialUp98(std::string_view EntryName, std::string_view PhoneNum,
                    std::string_view UserName, std::string_view Password,
                    std::string_view DomainName);

  // Hangs up the connection, pauses a second and forgets the handle.
  uint32_t HangUp();

  // The text RAS gives the error code; "" when it gives none.
  std::string ErrMsg(uint32_t RasErr);

  // True when a connection of `Entry` is up; with `SetProp` the object takes it over.
  bool SeekEnumConns(std::string_view Entry, bool SetProp = false);

  // The text in the first `lngMaxLen` bytes of `bPos`, up to its first NUL.
  void CopyByteToTrimmedString(std::string& strToCopyTo, std::span<const uint8_t> bPos,
                               uint32_t lngMaxLen) const;

 private:
  static size_t slot(int16_t index) { return static_cast<size_t>(index); }
  static void set_text(std::optional<std::string>& field, std::string_view text);

  uint32_t read_entry(const platform::DialParamsLayout& layout, bool nt_family);
  uint32_t dial(const platform::DialParamsLayout& layout, platform::OptText phone_book,
                const platform::DialParams& params);
  std::string ansi(std::string_view utf8) const;
  std::string utf8(std::string_view ansi) const;

  shell::AppContext& app_;
  platform::Ras& ras_;
  uint32_t platform_id_ = 0;
  platform::HRASCONN connection_ = 0;
  uint32_t entry_count_ = 0;
  uint32_t ras_event_msg_ = 0;
  std::array<std::string, 2> enum_entries_, enum_phone_num_, enum_callback_number_, enum_user_name_,
      enum_password_, enum_domain_;
  std::optional<std::string> phone_book_, entry_, phone_num_, user_id_, password_, domain_;
  platform::Hwnd parent_window_ = 0;
};

}  // namespace nimbra::dialup
