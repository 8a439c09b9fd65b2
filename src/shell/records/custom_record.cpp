#include "shell/records/custom_record.h"

#include "platform/text/bytes.h"

namespace nimbra::shell {

CustomRecord decode_custom(std::span<const uint8_t, CustomRecord::kSize> image) {
  const std::span<const uint8_t> b = image;
  const auto flag = [&b](size_t offset) { return bytes::get_i32(b, offset); };
  const auto text = [&b](size_t offset, size_t width) {
    return bytes::get_field(b, offset, width);
  };
  // Offsets 0 (516 bytes), 585 (4), 593 (21) and 762 (4) are reserved and not read.
  CustomRecord r;
  r.StartLock = flag(516);
  r.WindowTitle = text(520, 65);
  r.AccPtLabVisible = flag(589);
  r.UserLocked = flag(614);
  r.UserVisible = flag(618);
  r.UserName = text(622, 33);
  r.PassLocked = flag(655);
  r.PassVisible = flag(659);
  r.Password = text(663, 33);
  r.RedialDisabled = flag(696);
  r.RedialVisible = flag(700);
  r.RedialValue = flag(704);
  r.SingleDisabled = flag(708);
  r.SingleVisible = flag(712);
  r.SingleValue = flag(716);
  r.RedialCountLocked = flag(720);
  r.RedialCountVisible = flag(724);
  r.RedialCount = text(728, 7);
  r.RedialIntervalLocked = flag(735);
  r.RedialIntervalVisible = flag(739);
  r.RedialInterval = text(743, 7);
  r.StopVisible = flag(750);
  r.AccelFrameDisabled = flag(754);
  r.AccelFrameVisible = flag(758);
  r.Accel1Visible = flag(766);
  r.Accel2Visible = flag(770);
  r.Accel3Visible = flag(774);
  r.NoAccelVisible = flag(778);
  r.CacheFrameDisabled = flag(782);
  r.CacheFrameVisible = flag(786);
  r.SignalFrameVisible = flag(790);
  r.LinkFrameVisible = flag(794);
  r.MailLinkVisible = flag(798);
  r.MailAddress = text(802, 256);
  r.MailLinkCaption = text(1058, 65);
  r.WebLinkVisible = flag(1123);
  r.WebAddress = text(1127, 256);
  r.WebLinkCaption = text(1383, 65);
  r.VersionVisible = flag(1448);
  r.VersionText = text(1452, 256);
  r.RwinValue = flag(1708);
  r.MtuValue = flag(1712);
  return r;
}

}  // namespace nimbra::shell
