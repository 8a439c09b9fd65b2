// SPDX-License-Identifier: MIT
#include "platform/sim/web/validity_server.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "platform/sim/dialup/ini_text.h"

namespace nimbra::sim {

namespace {

constexpr std::string_view kSection = "validity";
constexpr std::string_view kInquiryPath = "/limit/GetLimit.php?";

// The date `days` days after `today`, as YY/MM/DD.
std::string date_after(const platform::LocalDateTime& today, uint32_t days) {
  using namespace std::chrono;
  const year_month_day from{year{today.year}, month{static_cast<unsigned>(today.month)},
                            day{static_cast<unsigned>(today.day)}};
  const year_month_day to{sys_days{from} + std::chrono::days{days}};
  char text[16];
  std::snprintf(text, sizeof text, "%02d/%02u/%02u", static_cast<int>(to.year()) % 100,
                static_cast<unsigned>(to.month()), static_cast<unsigned>(to.day()));
  return text;
}

[[noreturn]] void bad_key(std::string_view key, std::string_view value, std::string_view expected) {
  throw MachineError("machine.ini: [validity] " + std::string(key) + " = " + std::string(value) +
                     " is not " + std::string(expected));
}

}  // namespace

std::string ServiceAnswer::header_block() const {
  return status_line +
         "\r\nContent-Type: text/html\r\nContent-Length: " + std::to_string(body.size()) +
         "\r\nConnection: close\r\n";
}

bool service_call_up(const DialupService& dialup) {
  const auto& others = dialup.settings().other_connections;
  for (const Connection& c : dialup.connections()) {
    if (std::find(others.begin(), others.end(), c.entry) == others.end()) return true;
  }
  return false;
}

ValiditySettings ValiditySettings::load(const platform::IniFile& ini) {
  ValiditySettings s;
  s.date = ini.get(kSection, "date");
  s.body = ini.get(kSection, "body");
  if (const auto days = ini.get(kSection, "days_left")) {
    s.days_left = ini_number(*days, UINT32_MAX);
    if (s.days_left > 36500) bad_key("days_left", *days, "a number of days up to 36500");
  }
  if (const auto status = ini.get(kSection, "status")) {
    s.status = std::string(platform::trim_blanks(*status));
    if (s.status.empty()) bad_key("status", *status, "a status code and reason");
  }
  if (const auto delay = ini.get(kSection, "delay_ms")) {
    s.delay_ms = ini_number(*delay, UINT32_MAX);
    if (s.delay_ms > 600'000) bad_key("delay_ms", *delay, "a time up to 600000 ms");
  }
  if (const auto answer = ini.get(kSection, "answer")) {
    if (platform::iequals(*answer, "normal")) {
      s.answer = ServiceAnswer::Kind::Respond;
    } else if (platform::iequals(*answer, "silent")) {
      s.answer = ServiceAnswer::Kind::Silent;
    } else if (platform::iequals(*answer, "close")) {
      s.answer = ServiceAnswer::Kind::Close;
    } else {
      bad_key("answer", *answer, "normal, silent or close");
    }
  }
  return s;
}

ValidityServer::ValidityServer(const MachineConfig& config, platform::Clock& clock,
                               std::function<bool()> call_up)
    : settings_(ValiditySettings::load(config.ini)), clock_(clock), call_up_(std::move(call_up)) {}

bool ValidityServer::serves(std::string_view host) {
  return host.size() > kServiceDomain.size() && host.ends_with(kServiceDomain);
}

ServiceAnswer ValidityServer::answer(std::string_view target) const {
  ServiceAnswer a;
  if (!call_up_()) {
    a.kind = ServiceAnswer::Kind::Unreachable;
    return a;
  }
  a.kind = settings_.answer;
  a.delay_ms = settings_.delay_ms;
  if (!target.starts_with(kInquiryPath)) {
    a.status_line = "HTTP/1.1 404 Not Found";
    a.body = "Not Found";
    return a;
  }
  a.status_line = "HTTP/1.1 " + settings_.status;
  a.body = settings_.body
               ? *settings_.body
               : settings_.date.value_or(date_after(clock_.local_now(), settings_.days_left));
  return a;
}

}  // namespace nimbra::sim
