// SPDX-License-Identifier: MIT
#include "shell/link_clicks.h"

#include <optional>

namespace nimbra::shell {

namespace {

constexpr int32_t kShowNormal = 1;

// The hyperlink service of a window that is no browser hands the target to the default browser.
void navigate(AppContext& app, const std::string& target) {
  app.platform.shell.ShellExecuteA(0, std::nullopt, target, std::nullopt, std::nullopt,
                                   kShowNormal);
}

}  // namespace

void KorvoLink1_Click(AppContext& app) {
  app.platform.shell.ShellExecuteA(0, std::nullopt, app.main_form.KorvoLink1.URL.get(),
                                   std::nullopt, "\\", 0);
}

void KorvoLink2_Click(AppContext& app) {
  if (!app.dialup.entry_connected(app)) {
    const Catalogue& cat = app.catalogue;
    if (app.platform.window.message_box(cat.text(101), cat.text(1001),
                                        platform::MsgBoxButtons::YesNo) !=
        platform::MsgBoxResult::Yes) {
      return;
    }
  }
  navigate(app, app.main_form.KorvoLink2.URL.get());
}

}  // namespace nimbra::shell
