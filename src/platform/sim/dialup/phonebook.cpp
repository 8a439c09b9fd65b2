// SPDX-License-Identifier: MIT
#include "platform/sim/dialup/phonebook.h"

#include "platform/host/file_io.h"
#include "platform/sim/dialup/ini_text.h"
#include "platform/sim/machine/shared_ini_file.h"
#include "platform/text/ini_file.h"

namespace nimbra::sim {

namespace {

constexpr size_t kMaxPhonebookBytes = 1 << 20;
constexpr unsigned kPrivateMode = 0600;

uint32_t number(const platform::IniFile& ini, std::string_view section, std::string_view key) {
  return ini_number(ini.get_or(section, key, "0"), 0);
}

platform::IniFile load(const std::filesystem::path& file) {
  const auto text = platform::read_text_file(file, kMaxPhonebookBytes);
  return text ? platform::IniFile::parse(*text) : platform::IniFile();
}

}  // namespace

Phonebook::Phonebook(std::filesystem::path file, platform::CodePage code_page)
    : file_(std::move(file)), code_page_(code_page) {}

std::string Phonebook::section_of(std::string_view ansi_name) const {
  return platform::from_ansi(ansi_name, code_page_);
}

std::optional<PhonebookEntry> Phonebook::find(std::string_view name) const {
  const platform::IniFile ini = load(file_);
  const std::string section = section_of(name);
  const auto found = ini.section(section);
  if (!found) return std::nullopt;
  const auto text = [&](std::string_view key) {
    return platform::to_ansi(ini_unquoted(ini.get_or(section, key, "")), code_page_);
  };
  PhonebookEntry entry;
  EntryProperties& p = entry.properties;
  p.record_size = number(ini, section, "record_size");
  p.options = number(ini, section, "options");
  p.area_code = text("area_code");
  p.local_phone = text("local_phone");
  p.protocols = number(ini, section, "protocols");
  p.framing = number(ini, section, "framing");
  p.device_type = text("device_type");
  p.device_name = text("device_name");
  entry.dial = platform::DialParams{platform::to_ansi(found->name, code_page_),
                                    text("phone"),
                                    text("callback"),
                                    text("user"),
                                    text("password"),
                                    text("domain")};
  return entry;
}

bool Phonebook::store_properties(std::string_view name, const EntryProperties& p) {
  return update_shared_ini(file_, kMaxPhonebookBytes, kPrivateMode, [&](platform::IniFile& ini) {
    const std::string section = section_of(name);
    const auto text = [&](std::string_view key, std::string_view ansi) {
      ini.set(section, key, ini_quoted(platform::from_ansi(ansi, code_page_)));
    };
    ini.set(section, "record_size", std::to_string(p.record_size));
    ini.set(section, "options", hex_number(p.options));
    text("area_code", p.area_code);
    text("local_phone", p.local_phone);
    ini.set(section, "protocols", std::to_string(p.protocols));
    ini.set(section, "framing", std::to_string(p.framing));
    text("device_type", p.device_type);
    text("device_name", p.device_name);
    return true;
  });
}

bool Phonebook::store_dial_params(std::string_view name, const platform::DialParams& d,
                                  bool remove_password) {
  bool found = false;
  const bool saved =
      update_shared_ini(file_, kMaxPhonebookBytes, kPrivateMode, [&](platform::IniFile& ini) {
        const std::string section = section_of(name);
        found = ini.section(section).has_value();
        if (!found) return false;
        const auto text = [&](std::string_view key, std::string_view ansi) {
          ini.set(section, key, ini_quoted(platform::from_ansi(ansi, code_page_)));
        };
        text("user", d.user_name);
        text("password", remove_password ? std::string_view() : std::string_view(d.password));
        text("phone", d.phone_number);
        text("callback", d.callback_number);
        text("domain", d.domain);
        return true;
      });
  return saved && found;
}

}  // namespace nimbra::sim
