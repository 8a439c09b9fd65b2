// SPDX-License-Identifier: MIT
#include "dialup/service_plans.h"

#include <string_view>

#include "accel/proxy_blob.h"
#include "accel/proxy_value.h"
#include "accel/service_endpoints.h"
#include "shell/messages.h"
#include "shell/settings_file.h"

namespace nimbra::dialup {

namespace {

struct Plan {
  int32_t index;
  std::string_view code;  // shown in ServiceLbl(0)
  std::string_view main_number;
};

constexpr Plan kPlans[] = {
    {1, "Q300", accel::service::kQ300MainNumber},
    {2, "QPOST", accel::service::kQPostMainNumber},
    {3, "QTIME", accel::service::kQ300MainNumber},
};

const Plan& selected_plan(shell::MainForm& form) {
  if (form.ServiceOption[0].value) return kPlans[0];
  if (form.ServiceOption[1].value) return kPlans[1];
  return kPlans[2];
}

void fill_access_points(shell::AppContext& app, const Plan& plan) {
  shell::ComboBox& list = app.main_form.AccPtCmb;
  list.clear();
  // Plan 1 shows the number as the catalogue spells it.
  list.add_item(plan.index == 1 ? app.catalogue.str(1067) : std::string(plan.main_number));
  list.add_item(app.catalogue.str(1065));
  list.list_index = 0;
  app.AccessPoints[0] = std::string(plan.main_number);
  app.AccessPoints[1] = std::string(accel::service::kRenewalNumber);
}

void show_accelerator(shell::MainForm& form, bool shown) {
  form.NoaccTxt.visible = !shown;
  form.AccTxt.visible = shown;
  form.WebAccel.visible = shown;
}

void hide_multi_link(shell::MainForm& form) {
  form.AccMode[1].value = false;
  form.AccMode[1].enabled = false;
  form.AccMode[1].visible = false;
}

void set_link_and_accelerator_controls(shell::MainForm& form, int32_t plan) {
  switch (plan) {
    case 1:
      show_accelerator(form, true);
      hide_multi_link(form);
      form.AccMode[0].value = true;
      form.AccMode[0].enabled = true;
      form.AccMode[0].visible = true;
      break;
    case 2:
      form.AccMode[0].value = true;
      hide_multi_link(form);
      show_accelerator(form, false);
      break;
    default:
      form.AccMode[1].enabled = true;
      form.AccMode[1].visible = true;
      form.AccMode[0].value = false;
      form.AccMode[1].value = true;
      show_accelerator(form, true);
      break;
  }
}

const shell::ProxyBlob* proxy_value_of(const shell::AppContext& app, int32_t plan) {
  if (plan == 2) return &app.ProxyBlobQPost;
  if (plan == 3) return &app.ProxyBlobBreeze;
  return accel::blob_for_accel_choice(app, app.SettingsRecord.AccelChoice);
}

}  // namespace

void ServiceOption_Click(shell::AppContext& app) {
  shell::MainForm& form = app.main_form;
  const Plan& plan = selected_plan(form);
  app.SettingsRecord.PlanIndex = plan.index;
  form.ServiceLbl[0].caption = std::string(plan.code);
  fill_access_points(app, plan);
  form.ServiceOption[plan.index - 1].value = true;
  set_link_and_accelerator_controls(form, plan.index);
  if (!accel::write_proxy_value(app, proxy_value_of(app, plan.index))) {
    shell::show_message(app, 116);
    return;
  }
  shell::save_ini_up(app);
}

void select_first_plan(shell::AppContext& app) {
  app.SettingsRecord.PlanIndex = 1;
  shell::OptionButton& first = app.main_form.ServiceOption[0];
  // A reloaded window may still have plan 1 selected; selecting it again must still set it up.
  if (first.value) {
    ServiceOption_Click(app);
  } else {
    first.value = true;
  }
}

std::string selected_access_point(const shell::AppContext& app) {
  const int index = app.main_form.AccPtCmb.list_index;
  if (index < 0 || index >= static_cast<int>(app.AccessPoints.size())) return "";
  return app.AccessPoints[static_cast<size_t>(index)];
}

}  // namespace nimbra::dialup
