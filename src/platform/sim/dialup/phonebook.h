// SPDX-License-Identifier: MIT
// The machine's phone book, phonebook.pbk in the machine directory: one INI section per entry
// with the entry's properties and its stored dial parameters. It holds passwords, so it is
// private to its owner (0600) and always replaced whole, under its lock; other diallers' entries
// and lines the reader does not understand stay as they are. Texts are ANSI in the records and
// UTF-8 in the file; a text value is written in quotes with control bytes as %XX.
//
//   [KVAUTODL]
//   record_size = 2884
//   options = 0x05200130
//   area_code = "03"
//   local_phone = "0570012345"
//   protocols = 4
//   framing = 1
//   device_type = "modem"
//   device_name = "ARLEN DENSHI CO.,LTD. KVT30-J"
//   user = "qenvora"
//   password = "qenvora"
//   phone = ""
//   callback = ""
//   domain = ""
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/records/ras_records.h"
#include "platform/sim/machine/machine_config.h"
#include "platform/text/codepage.h"

namespace nimbra::sim {

inline constexpr std::string_view kPhonebookFile = machine_files::kPhonebook;

struct EntryProperties {
  uint32_t record_size = 0;  // the size of the record the entry was written with
  uint32_t options = 0;
  std::string area_code;
  std::string local_phone;
  uint32_t protocols = 0;
  uint32_t framing = 0;
  std::string device_type;
  std::string device_name;
  friend bool operator==(const EntryProperties&, const EntryProperties&) = default;
};

struct PhonebookEntry {
  EntryProperties properties;
  platform::DialParams dial;  // its entry-name field is the entry's name
};

class Phonebook {
 public:
  Phonebook(std::filesystem::path file, platform::CodePage code_page);

  // The entry (names compare case-insensitively), read from the file as it is now.
  std::optional<PhonebookEntry> find(std::string_view name) const;

  // Creates the entry or replaces its properties; stored dial parameters are kept. False when
  // the file cannot be written.
  bool store_properties(std::string_view name, const EntryProperties& properties);

  // Stores the dial parameters of an existing entry; with `remove_password` the stored password
  // is cleared instead of set. False when the entry is missing or the file cannot be written.
  bool store_dial_params(std::string_view name, const platform::DialParams& params,
                         bool remove_password);

  const std::filesystem::path& file() const { return file_; }

 private:
  std::string section_of(std::string_view ansi_name) const;

  std::filesystem::path file_;
  platform::CodePage code_page_;
};

}  // namespace nimbra::sim
