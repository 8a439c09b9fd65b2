// SPDX-License-Identifier: MIT
// The option tree on page 5: six check boxes whose checks are the live option values, while the
// settings record's flags hold the saved ones.
#pragma once

#include "shell/app_context.h"

namespace nimbra::shell {

// Node indexes (1-based, as the tree numbers them).
enum OptionNode : int {
  kConnectOnStart = 1,
  kMeasureOnStart = 2,
  kBrowserAfterConnect = 3,
  kMailerAfterConnect = 4,
  kBrowserAfterProxy = 5,
  kMinimizeAfterConnect = 6,
};

// Adds the six nodes with their build-time checks and copies the checks into the saved flags.
void build_setting_tree(AppContext& app);

// A node's check changed: Apply becomes enabled when the check differs from the saved flag.
void setting_node_checked(AppContext& app, int index);

// Apply on page 5: the saved flags take the checks, the settings file is saved, Apply disabled.
void apply_option_page(AppContext& app);

// Sets the six checks from the flags (nonzero is checked).
void checks_from_flags(AppContext& app);

// The checks to show when there is no settings file.
void set_no_file_checks(AppContext& app);

}  // namespace nimbra::shell
