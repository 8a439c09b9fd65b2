// SPDX-License-Identifier: MIT
#include "validity/limit_file.h"

#include <algorithm>

#include "shell/ansi_text.h"
#include "validity/validity_date.h"

namespace nimbra::validity {

namespace {

constexpr size_t kLongestDate = shell::kLimitDateSize - 1;

std::string limit_path(shell::AppContext& app) {
  return app.WinDir + "\\\\nimbral.dat";
}

}  // namespace

void load_limit(shell::AppContext& app) {
  shell::Label& label = app.main_form.LblLimit;
  label.caption = std::string();
  const std::string path = limit_path(app);
  if (!app.platform.kernel.file_exists(path)) return;
  const auto bytes = app.platform.kernel.read_file(path, shell::kLimitDateSize);
  if (!bytes) return;
  // A short file fills only the front of the field.
  std::copy(bytes->begin(), bytes->end(), app.LimitDate.begin());
  const auto end = std::find(app.LimitDate.begin(), app.LimitDate.end(), uint8_t{0});
  label.caption = shell::from_ansi(app, std::string(app.LimitDate.begin(), end));
}

void save_limit(shell::AppContext& app, std::string_view inLimitDate) {
  std::string text = shell::to_ansi(app, inLimitDate);
  if (text.size() > kLongestDate) {
    const auto date = recognise_date(text);
    text = date ? short_form(*date) : text.substr(0, kLongestDate);
  }
  std::copy(text.begin(), text.end(), app.LimitDate.begin());
  app.LimitDate[text.size()] = 0;

  // The rest of the file stays, however long; a failed write is told by the kernel.
  app.platform.kernel.write_file_start(limit_path(app), app.LimitDate,
                                       platform::FileAccess::Normal);
}

}  // namespace nimbra::validity
