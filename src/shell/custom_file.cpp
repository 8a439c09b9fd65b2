// SPDX-License-Identifier: MIT
#include "shell/custom_file.h"

#include <array>
#include <string>

#include "controls/link_target.h"
#include "shell/ansi_text.h"

namespace nimbra::shell {

namespace {

bool is_set(int32_t flag) {
  return flag == 1;
}

// Check states outside 0..2 mean nothing to a check box; the control keeps its state.
void set_check_state(CheckBox& box, int32_t state) {
  if (state >= 0 && state <= 2) box.value = static_cast<int>(state);
}

// Calls `apply` with the text a field shows when it replaces the built-in one.
class TextApplier {
 public:
  explicit TextApplier(AppContext& app) : app_(app) {}
  template <class F>
  void operator()(std::string CustomRecord::*member, F&& apply) const {
    const auto text =
        custom_text_shown(app_.CustomRecord, custom_text_field(member), ansi_code_page(app_));
    if (text) apply(*text);
  }

 private:
  AppContext& app_;
};

void apply_texts(AppContext& app) {
  MainForm& f = app.main_form;
  const TextApplier when_set(app);
  using R = CustomRecord;
  when_set(&R::WindowTitle, [&](const std::string& t) { f.caption = t; });
  when_set(&R::UserName, [&](const std::string& t) { f.UserTxt.text = t; });
  when_set(&R::Password, [&](const std::string& t) { f.PassTxt.text = t; });
  when_set(&R::RedialCount, [&](const std::string& t) { f.AutoDialTxt[0].text = t; });
  when_set(&R::RedialInterval, [&](const std::string& t) { f.AutoDialTxt[1].text = t; });
  when_set(&R::MailAddress,
           [&](const std::string& t) { f.KorvoLink1.URL = controls::mailto_target(t); });
  when_set(&R::MailLinkCaption, [&](const std::string& t) { f.KorvoLink1.caption = t; });
  when_set(&R::WebAddress,
           [&](const std::string& t) { f.KorvoLink2.URL = controls::http_target(t); });
  when_set(&R::WebLinkCaption, [&](const std::string& t) { f.KorvoLink2.caption = t; });
  when_set(&R::VersionText, [&](const std::string& t) { f.VersionTxt.text = t; });
}

void apply_flags(AppContext& app) {
  const CustomRecord& r = app.CustomRecord;
  MainForm& f = app.main_form;
  f.AccPtLab.visible = is_set(r.AccPtLabVisible);
  f.UserTxt.locked = is_set(r.UserLocked);
  f.UserTxt.visible = is_set(r.UserVisible);
  f.UserLab.visible = is_set(r.UserVisible);
  f.PassTxt.locked = is_set(r.PassLocked);
  f.PassTxt.visible = is_set(r.PassVisible);
  f.PassLbl.visible = is_set(r.PassVisible);
  f.RedialCheck.enabled = !is_set(r.RedialDisabled);
  f.RedialCheck.visible = is_set(r.RedialVisible);
  set_check_state(f.RedialCheck, r.RedialValue);
  f.SingleChk.enabled = !is_set(r.SingleDisabled);
  f.SingleChk.visible = is_set(r.SingleVisible);
  set_check_state(f.SingleChk, r.SingleValue);
  f.AutoDialTxt[0].locked = is_set(r.RedialCountLocked);
  f.AutoDialTxt[0].visible = is_set(r.RedialCountVisible);
  f.AutoDialLAb[0].visible = is_set(r.RedialCountVisible);
  f.AutoDialTxt[1].locked = is_set(r.RedialIntervalLocked);
  f.AutoDialTxt[1].visible = is_set(r.RedialIntervalVisible);
  f.AutoDialLAb[1].visible = is_set(r.RedialIntervalVisible);
  f.CmdStop.visible = is_set(r.StopVisible);
  f.WebAccel.enabled = !is_set(r.AccelFrameDisabled);
  f.WebAccel.visible = is_set(r.AccelFrameVisible);
  f.AccOption[3].visible = is_set(r.Accel1Visible);
  f.AccOption[1].visible = is_set(r.Accel2Visible);
  f.AccOption[0].visible = is_set(r.Accel3Visible);
  f.AccOption[2].visible = is_set(r.NoAccelVisible);
  f.InternetCache.enabled = !is_set(r.CacheFrameDisabled);
  f.InternetCache.visible = is_set(r.CacheFrameVisible);
  f.WaveFrame.visible = is_set(r.SignalFrameVisible);
  f.LnkFrm.visible = is_set(r.LinkFrameVisible);
  f.KorvoLink1.visible = is_set(r.MailLinkVisible);
  f.KorvoLink2.visible = is_set(r.WebLinkVisible);
  f.VersionTxt.visible = is_set(r.VersionVisible);
}

}  // namespace

int32_t read_custom_file(AppContext& app) {
  const std::string path = app.WinDir + "\\nimbra1.ssd";
  const auto image = app.platform.kernel.file_exists(path)
                         ? app.platform.kernel.read_file(path, CustomRecord::kSize)
                         : std::nullopt;
  if (!image || image->size() < CustomRecord::kSize) {
    static constexpr std::array<uint8_t, CustomRecord::kSize> kZero{};
    app.CustomPresent = false;
    app.CustomRecord = decode_custom(kZero);
    return 1;
  }
  app.CustomPresent = true;
  app.CustomRecord = decode_custom(
      std::span<const uint8_t, CustomRecord::kSize>(image->data(), CustomRecord::kSize));
  // Taken as they are, 0 included.
  app.MtuValue = app.CustomRecord.MtuValue;
  app.RwinValue = app.CustomRecord.RwinValue;
  return 0;
}

void apply_custom_record(AppContext& app) {
  apply_texts(app);
  apply_flags(app);
}

}  // namespace nimbra::shell
