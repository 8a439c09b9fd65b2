// SPDX-License-Identifier: MIT
#include "shell/apply_button.h"

#include "shell/option_tree.h"
#include "shell/settings_file.h"

namespace nimbra::shell {

void apply_current_page(AppContext& app) {
  switch (app.main_form.KorvoTab.selected) {
    case 1:
      save_ini_up(app);
      break;
    case 2:
      app.apply_accelerator(app);
      break;
    case 3:
      app.apply_tcp_settings(app);
      break;
    case 5:
      apply_option_page(app);
      break;
    default:
      // Page 4 has nothing to apply.
      break;
  }
}

}  // namespace nimbra::shell
