// SPDX-License-Identifier: MIT
#include "shell/pass_form.h"

#include "shell/app_context.h"
#include "shell/messages.h"
#include "shell/startup.h"

namespace nimbra::shell {

namespace {

constexpr std::string_view kCodeWord = "qenvora";

// The last `count` characters of UTF-8 text (a date format may hold non-ASCII characters).
std::string last_characters(const std::string& text, size_t count) {
  size_t start = text.size();
  for (size_t found = 0; found < count && start > 0;) {
    --start;
    const auto byte = static_cast<unsigned char>(text[start]);
    if ((byte & 0xC0) != 0x80) ++found;  // not a continuation byte: a character begins here
  }
  return text.substr(start);
}

std::string trim_spaces(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

void pass_ok_click(AppContext& app) {
  if (trim_spaces(app.pass_form.PassTxt.text) != access_code(app)) fail_with_message(app, 161);
  app.platform.window.detach(app.pass_form);
  app.pass_window = 0;
  main_form_load(app);
}

void place(Control& c, int left, int top, int width, int height) {
  c.left = left;
  c.top = top;
  c.width = width;
  c.height = height;
}

}  // namespace

PassForm::PassForm() : Form("PassForm") {
  // The window's outer size; the window manager picks its place.
  width = 5100;
  height = 1800;
  caption = "パスワードの入力";
  place(Label1, 240, 180, 4500, 255);
  Label1.caption = "パスワードを入力してOKを押してください";
  place(PassTxt, 240, 540, 4500, 315);
  PassTxt.password_char = "x";
  place(PassOK, 2160, 1080, 1200, 375);
  PassOK.caption = "OK";
  place(PassCancel, 3540, 1080, 1200, 375);
  PassCancel.caption = "キャンセル";
}

std::string access_code(AppContext& app) {
  const std::string today = app.platform.runtime.short_date(app.platform.kernel.local_now());
  return std::string(kCodeWord) + last_characters(today, 2);
}

void show_pass_form(AppContext& app) {
  PassForm& form = app.pass_form;
  form.PassOK.on_click = [&app] { pass_ok_click(app); };
  form.PassCancel.on_click = [&app] { app.platform.window.end_program(); };
  // Closing the window leaves no window to go on with.
  form.on_unload = [&app] { app.platform.window.end_program(); };
  app.pass_window = app.platform.window.attach(form);
  form.visible = true;
}

}  // namespace nimbra::shell
