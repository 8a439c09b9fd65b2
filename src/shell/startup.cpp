// SPDX-License-Identifier: MIT
#include "shell/startup.h"

#include <array>
#include <vector>

#include "platform/text/bytes.h"
#include "shell/custom_file.h"
#include "shell/main_window.h"
#include "shell/messages.h"
#include "shell/option_tree.h"
#include "shell/pass_form.h"
#include "shell/settings_file.h"
#include "shell/spoken_names.h"
#include "shell/version_check.h"
#include "shell/window_placement.h"

namespace nimbra::shell {

namespace {

constexpr size_t kMaxPath = 260;

void read_windows_directory(AppContext& app) {
  std::array<char, kMaxPath> buffer{};
  const uint32_t n = app.platform.kernel.GetWindowsDirectoryA(buffer);
  app.WinDir.assign(buffer.data(), n <= buffer.size() ? n : 0);
}

// A second copy hands over to the first one's window and ends without touching anything.
void hand_over_to_previous_instance(AppContext& app) {
  if (!app.platform.runtime.previous_instance()) return;
  const std::string title = app.main_form.caption;
  app.main_form.caption = "dummy";
  app.app_title = "dummy";
  app.platform.runtime.activate_by_title(title);
  app.platform.window.end_program();
}

void check_version(AppContext& app) {
  namespace vr = platform::version_record;
  std::vector<uint8_t> record(vr::kSize, 0);
  bytes::put_u32(record, vr::kSizeField, vr::kSize);
  app.platform.kernel.GetVersionExA(record);
  OsClass os{0, app.IsWin9x, app.RasEntrySize};
  classify_version(bytes::get_u32(record, vr::kPlatformId), bytes::get_u32(record, vr::kMajor),
                   bytes::get_u32(record, vr::kMinor), os);
  app.OsCode = os.OsCode;
  app.IsWin9x = os.IsWin9x;
  app.RasEntrySize = os.RasEntrySize;
  app.ModemCount = 0;
  app.LastPortRead = 0;
}

// An empty name or password is replaced by the service's generic login.
void default_empty_credentials(AppContext& app) {
  for (TextBox* field : {&app.main_form.UserTxt, &app.main_form.PassTxt}) {
    if (field->text.get().find_first_not_of(' ') == std::string::npos) {
      field->text = std::string("qenvora");
    }
  }
}

// The browser's HTTP 1.1 options are switched on where the browser has them; a failure has been
// shown and start-up goes on.
void enable_http11_where_known(AppContext& app) {
  switch (app.OsCode) {
    case 10:
    case 20:
    case 30:
    case 130:
    case 140:
      app.enable_http11_options(app);
      break;
    default:
      break;
  }
}

// The last word on the operating system before the window shows.
void refuse_unsupported_windows(AppContext& app) {
  if (app.OsCode == 0) fail_with_message(app, 110);
  if (app.OsCode == 120) fail_with_message(app, 111);
}

}  // namespace

void Main(AppContext& app) {
  read_windows_directory(app);
  read_custom_file(app);
  app.build_proxy_blobs(app);
  if (!app.CustomPresent) {
    app.MtuValue = 1500;
    app.RwinValue = 17520;
  }
  if (app.CustomRecord.StartLock == 1) {
    show_pass_form(app);
  } else {
    main_form_load(app);
  }
}

void main_form_load(AppContext& app) {
  MainForm& form = app.main_form;
  app.main_window = app.platform.window.attach(form);
  wire_main_window(app);

  form.visible = false;
  set_captions(app);
  name_uncaptioned_controls(app);
  build_setting_tree(app);
  app.AccelChanged = false;
  form.Timer1.enabled = false;  // a reload after a modem change finds it running
  hand_over_to_previous_instance(app);
  check_version(app);
  if (app.OsCode == 0) fail_with_message(app, 110);
  app.detect_modems(app);
  load_ini_up(app);
  app.dialup.select_first_plan(app);
  default_empty_credentials(app);
  form.Frames[0].bring_to_front();
  app.dialup.provision_entry(app);
  app.dialup.create_ras_session(app);
  app.dialup.show_connection_state(app);
  app.dialup.put_session_modem_first(app);
  if (app.CustomPresent) apply_custom_record(app);
  app.show_tcp_controls(app);
  place_frames(app);
  if (app.IsWin9x) app.read_tcp_settings(app);
  app.find_client_programs(app);
  app.dialup.install_window_procedure(app);
  app.dialup.start_status_timer(app);
  app.load_limit(app);
  enable_http11_where_known(app);
  refuse_unsupported_windows(app);
  size_and_place_main_window(app);
  form.visible = true;
  if (form.SettingTree.node(kMeasureOnStart).checked) app.measure_card(app);
  if (form.SettingTree.node(kConnectOnStart).checked) {
    app.dialup.start_connect(app);
  } else {
    app.check_validity_term(app);
  }
}

void main_form_unload(AppContext& app) {
  app.dialup.release_session(app);
  app.platform.window.detach(app.main_form);
  app.main_window = 0;
  // What the window showed goes with it: a load after a modem change starts from the design.
  app.main_form.reset_to_design();
}

}  // namespace nimbra::shell
