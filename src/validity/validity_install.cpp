// SPDX-License-Identifier: MIT
#include "validity/validity_install.h"

#include <memory>

#include "validity/inquiry.h"
#include "validity/limit_file.h"

namespace nimbra::validity {

void install_validity(shell::AppContext& app) {
  app.load_limit = load_limit;
  app.check_validity_term = CheckValidityTerm;
  auto inquiry = std::make_shared<Inquiry>(app);
  app.main_form.CmdLimit.on_click = [inquiry] { inquiry->CmdLimit_Click(); };
}

}  // namespace nimbra::validity
