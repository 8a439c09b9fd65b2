// SPDX-License-Identifier: MIT
#include "shell/messages.h"

namespace nimbra::shell {

void show_message(AppContext& app, int id) {
  app.platform.window.message_box(app.catalogue.text(id), app.catalogue.text(1001),
                                  platform::MsgBoxButtons::Ok);
}

void fail_with_message(AppContext& app, int id) {
  show_message(app, id);
  app.platform.window.end_program();
}

}  // namespace nimbra::shell
