// SPDX-License-Identifier: MIT
#include "shell/option_tree.h"

#include <array>
#include <string_view>

#include "shell/settings_file.h"

namespace nimbra::shell {

namespace {

struct NodeSpec {
  std::string_view key;
  int text_id;
  bool checked_when_built;
  bool checked_without_file;
};

constexpr std::array<NodeSpec, 6> kNodes{{
    {"ConnectOnStartApplication", 1046, true, true},
    {"MeasureOnStartApplication", 1047, false, false},
    {"StartBrowserAfterConnect", 1048, true, true},
    {"StartMailerAfterConnect", 1049, false, true},
    {"StartBrowserAfterChangeProxy", 1050, true, true},
    {"MinimizeAfterConnect", 1052, false, false},
}};

int16_t flag_of(bool checked) {
  return checked ? kFlagTrue : kFlagFalse;
}

void copy_checks_to_flags(AppContext& app) {
  const auto flags = app.SettingsRecord.tree_flags();
  for (int i = 1; i <= 6; ++i) {
    *flags[static_cast<size_t>(i - 1)] = flag_of(app.main_form.SettingTree.node(i).checked);
  }
}

}  // namespace

void build_setting_tree(AppContext& app) {
  TreeView& tree = app.main_form.SettingTree;
  for (const NodeSpec& spec : kNodes)
    tree.add_node(std::string(spec.key), app.catalogue.str(spec.text_id));
  for (int i = 1; i <= 6; ++i)
    tree.set_checked(i, kNodes[static_cast<size_t>(i - 1)].checked_when_built);
  copy_checks_to_flags(app);
}

void setting_node_checked(AppContext& app, int index) {
  const TreeNode& node = app.main_form.SettingTree.node(index);
  for (size_t i = 0; i < kNodes.size(); ++i) {
    if (kNodes[i].key != node.key) continue;
    const int16_t saved = *app.SettingsRecord.tree_flags()[i];
    if ((saved != kFlagFalse) != node.checked) app.main_form.CmdApply.enabled = true;
    return;
  }
}

void apply_option_page(AppContext& app) {
  copy_checks_to_flags(app);
  save_ini_up(app);
  app.main_form.CmdApply.enabled = false;
}

void checks_from_flags(AppContext& app) {
  const auto flags = app.SettingsRecord.tree_flags();
  for (int i = 1; i <= 6; ++i) {
    app.main_form.SettingTree.set_checked(i, *flags[static_cast<size_t>(i - 1)] != kFlagFalse);
  }
}

void set_no_file_checks(AppContext& app) {
  for (int i = 1; i <= 6; ++i) {
    app.main_form.SettingTree.set_checked(i,
                                          kNodes[static_cast<size_t>(i - 1)].checked_without_file);
  }
}

}  // namespace nimbra::shell
