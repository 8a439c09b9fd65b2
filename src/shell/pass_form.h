// SPDX-License-Identifier: MIT
// The access-code window a distributor can put before the main window: one attempt at the
// day's code, in fixed Japanese texts whatever the user's language.
#pragma once

#include <string>

#include "platform/controls/controls.h"

namespace nimbra::shell {

struct AppContext;

using namespace platform;  // NOLINT: the form reads as the control list it is

struct PassForm : Form {
  PassForm();

  Label Label1{this, "Label1"};
  TextBox PassTxt{this, "PassTxt"};
  Button PassOK{this, "PassOK"};
  Button PassCancel{this, "PassCancel"};
};

// The day's code: "qenvora" and the last two characters of today's date in the system's short
// date format.
std::string access_code(AppContext& app);

// Loads and shows the access-code window; the main window loads only after a correct code.
void show_pass_form(AppContext& app);

}  // namespace nimbra::shell
