#include "shell/custom_file.h"

#include <array>
#include <string>
#include <string_view>

#include "controls/link_target.h"
#include "shell/ansi_text.h"

namespace nimbra::shell {

namespace {

// A text field's value: decoded from ANSI, spaces (not NULs) trimmed at both ends.
std::string field_text(AppContext& app, std::string_view field) {
  const size_t first = field.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const size_t last = field.find_last_not_of(' ');
  return from_ansi(app, field.substr(first, last - first + 1));
}

// What a control shows of a text: everything before its first NUL.
std::string shown(std::string_view text) {
  return std::string(text.substr(0, text.find('\0')));
}

// Characters, not bytes: a Japanese character is one character of the decoded text.
size_t character_count(std::string_view utf8) {
  size_t n = 0;
  for (const char c : utf8) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
  return n;
}

bool is_set(int32_t flag) {
  return flag == 1;
}

// Check states outside 0..2 mean nothing to a check box; the control keeps its state.
void set_check_state(CheckBox& box, int32_t state) {
  if (state >= 0 && state <= 2) box.value = static_cast<int>(state);
}

class TextApplier {
 public:
  explicit TextApplier(AppContext& app) : app_(app) {}
  // Calls `apply` with the field's text when it has at least `min_length` characters.
  template <class F>
  void operator()(std::string_view field, size_t min_length, F&& apply) const {
    const std::string text = field_text(app_, field);
    if (character_count(text) >= min_length) apply(text);
  }

 private:
  AppContext& app_;
};

void apply_texts(AppContext& app) {
  const CustomRecord& r = app.CustomRecord;
  MainForm& f = app.main_form;
  const TextApplier when_long(app);
  when_long(r.WindowTitle, 2, [&](const std::string& t) { f.caption = shown(t); });
  when_long(r.UserName, 2, [&](const std::string& t) { f.UserTxt.text = shown(t); });
  when_long(r.Password, 2, [&](const std::string& t) { f.PassTxt.text = shown(t); });
  when_long(r.RedialCount, 1, [&](const std::string& t) { f.AutoDialTxt[0].text = shown(t); });
  when_long(r.RedialInterval, 1, [&](const std::string& t) { f.AutoDialTxt[1].text = shown(t); });
  when_long(r.MailAddress, 2,
            [&](const std::string& t) { f.KorvoLink1.URL = controls::mailto_target(shown(t)); });
  when_long(r.MailLinkCaption, 2, [&](const std::string& t) { f.KorvoLink1.caption = shown(t); });
  when_long(r.WebAddress, 2,
            [&](const std::string& t) { f.KorvoLink2.URL = controls::http_target(shown(t)); });
  when_long(r.WebLinkCaption, 2, [&](const std::string& t) { f.KorvoLink2.caption = shown(t); });
  when_long(r.VersionText, 2, [&](const std::string& t) { f.VersionTxt.text = shown(t); });
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
