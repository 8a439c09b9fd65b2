// SPDX-License-Identifier: MIT
#include "shell/settings_file.h"

#include <string>

#include "shell/ansi_text.h"
#include "shell/option_tree.h"

namespace nimbra::shell {

namespace {

constexpr char kDefaultCredential[] = "qenvora";
// Where the bytes of a settings file too short to be a record are kept.
constexpr char kShortCopy[] = ".short";

std::string settings_path(const AppContext& app) {
  return app.WinDir + "\\nimbra1.dat";
}

}  // namespace

int32_t load_ini_up(AppContext& app) {
  MainForm& form = app.main_form;
  const std::string path = settings_path(app);
  auto image = app.platform.kernel.file_exists(path)
                   ? app.platform.kernel.read_file(path, SettingsRecord::kSize)
                   : std::nullopt;
  // The program never writes a shorter file: one is not a record (an empty file would read as
  // all zero, the Drift accelerator), so it reads as no file. The start's save writes a record
  // over it, so its bytes are kept beside it first.
  if (image && image->size() < SettingsRecord::kSize) {
    if (!image->empty()) {
      app.platform.kernel.write_file(path + kShortCopy, *image, platform::FileAccess::Private);
    }
    image.reset();
  }
  if (!image) {
    form.UserTxt.text = std::string(kDefaultCredential);
    form.PassTxt.text = std::string(kDefaultCredential);
    set_no_file_checks(app);
    app.SettingsRecord.PlanIndex = 1;
    app.SettingsRecord.AccelChoice = 1;
    return 1;
  }
  SettingsRecord& record = app.SettingsRecord;
  record = decode_settings(*image);
  form.UserTxt.text = from_ansi(app, record.UserName);
  form.PassTxt.text = from_ansi(app, record.Password);
  // The program only ever writes 0 or 1; anything else reads as single-link.
  form.AccMode[record.LinkMode == 1 ? 1 : 0].value = true;
  checks_from_flags(app);
  return 0;
}

int32_t save_ini_up(AppContext& app) {
  MainForm& form = app.main_form;
  SettingsRecord& record = app.SettingsRecord;
  record.Signature = to_ansi(app, app.catalogue.text(148));
  record.UserName = to_ansi(app, form.UserTxt.text.get());
  record.Password = to_ansi(app, form.PassTxt.text.get());
  record.LinkMode = form.AccMode[0].value ? 0 : 1;
  const auto image = encode_settings(record);
  // Written over the start, as a binary write does: bytes after the record stay. A failed
  // write is told by the kernel, as the program has no message for it.
  app.platform.kernel.write_file_start(settings_path(app), image, platform::FileAccess::Private);
  return 0;
}

}  // namespace nimbra::shell
