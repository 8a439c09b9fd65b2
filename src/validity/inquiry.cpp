// SPDX-License-Identifier: MIT
#include "validity/inquiry.h"

#include "accel/service_endpoints.h"
#include "shell/ansi_text.h"
#include "shell/messages.h"
#include "validity/limit_file.h"
#include "validity/validity_date.h"

namespace nimbra::validity {

namespace {

constexpr platform::Color kBlue = 0xFF0000;
constexpr int kNoticeDays = 30;

bool is_unreserved(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~';
}

std::string percent_encoded(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : bytes) {
    if (is_unreserved(c)) {
      out += c;
    } else {
      const auto b = static_cast<unsigned char>(c);
      out += '%';
      out += kHex[b >> 4];
      out += kHex[b & 0xF];
    }
  }
  return out;
}

void show_text(shell::AppContext& app, const std::string& text) {
  app.platform.window.message_box(text, app.catalogue.text(1001), platform::MsgBoxButtons::Ok);
}

}  // namespace

std::string inquiry_url(shell::AppContext& app, std::string_view phs_number) {
  return "http://" + std::string(accel::service::kValidityHost) + "/limit/GetLimit.php?" +
         "PHS=" + percent_encoded(shell::to_ansi(app, phs_number));
}

StatusLine read_status_line(std::string_view header_block) {
  const std::string_view line = header_block.substr(0, header_block.find("\r\n"));
  StatusLine status;
  size_t word = 0;
  size_t start = 0;
  while (start <= line.size()) {
    const size_t blank = line.find(' ', start);
    const std::string_view piece = line.substr(start, blank - start);
    if (word == 1) {
      status.code = piece;
    } else if (word >= 2) {
      status.reason.append(piece).append(" ");
    }
    if (blank == std::string_view::npos) break;
    start = blank + 1;
    ++word;
  }
  return status;
}

void Inquiry::CmdLimit_Click() {
  const std::string& number = app_.PhsNumber;
  if (number.find_first_not_of(' ') == std::string::npos) {
    shell::show_message(app_, 1066);
    return;
  }
  const uint64_t request = ++requests_;
  app_.platform.http.get(inquiry_url(app_, number), [this, request](int state) {
    if (request == requests_) Inet1_StateChanged(state);
  });
}

void Inquiry::Inet1_StateChanged(int state) {
  platform::Http& http = app_.platform.http;
  if (state == platform::icError) {
    show_failure(std::to_string(http.error_code()), http.error_description());
    CheckValidityTerm(app_);
  } else if (state == platform::icResponseCompleted) {
    const uint64_t request = requests_;
    response_completed();
    // A new inquiry that began while the body was read ends with its own check.
    if (request == requests_) CheckValidityTerm(app_);
  }
}

void Inquiry::response_completed() {
  platform::Http& http = app_.platform.http;
  const StatusLine status = read_status_line(http.header_block());
  if (status.code != "200") {
    show_failure(status.code, status.reason);
    return;
  }
  const uint64_t request = requests_;
  std::string body;
  while (body.size() < kLongestBody) {
    const std::string chunk = http.get_chunk(kBodyChunk);
    if (chunk.empty()) break;
    body += chunk;
    app_.platform.window.do_events();
    // Inquire was pressed again meanwhile: that request's answer is the one to show.
    if (request != requests_) return;
  }
  if (body.size() > kLongestBody) body.resize(kLongestBody);
  // Blanks and a line end around the date are no part of it.
  const std::string text(trim_line(shell::from_ansi(app_, body)));
  if (!recognise_date(text)) {
    show_failure("200", text);
    return;
  }
  shell::Label& label = app_.main_form.LblLimit;
  label.caption = text;
  label.fore_color = kBlue;
  save_limit(app_, text);
}

void Inquiry::show_failure(std::string_view code, std::string_view detail) {
  show_text(app_, app_.catalogue.str(1064) + "\r\nCode=" + std::string(code) + "\r\n" +
                      std::string(detail));
}

void CheckValidityTerm(shell::AppContext& app) {
  const auto date = recognise_date(app.main_form.LblLimit.caption.get());
  if (!date) return;
  const int days = days_until(app.platform.kernel.local_now(), *date);
  if (days < 0) {
    shell::show_message(app, 1063);
  } else if (days < kNoticeDays) {
    show_text(app, app.catalogue.str(1061) + std::to_string(days) + app.catalogue.str(1062));
  }
}

}  // namespace nimbra::validity
