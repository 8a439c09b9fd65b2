// SPDX-License-Identifier: MIT
#include "platform/linux/proxy/proxy_follower.h"

#include <utility>

namespace nimbra::lnx {

ProxyFollower::ProxyFollower(std::filesystem::path state_file, DesktopNamed desktops,
                             std::string session, std::ostream& log)
    : state_file_(std::move(state_file)),
      desktops_(std::move(desktops)),
      session_(std::move(session)),
      log_(log),
      state_(ProxyState::load(state_file_)) {}

std::optional<std::string> ProxyFollower::entry() const {
  if (!state_) return std::nullopt;
  return state_->entry;
}

void ProxyFollower::save(const ProxyState& state) {
  if (!state.save(state_file_)) log_ << "nimbra: cannot write " << state_file_.string() << "\n";
}

void ProxyFollower::follow(const std::string& entry, const std::optional<ConnectionProxy>& proxy) {
  if (!proxy) {
    restore();
    return;
  }
  const std::string given = describe(*proxy);
  if (state_ && state_->entry == entry && state_->proxy == given) return;
  // Settings saved once are given back on the desktop they came from.
  const std::string name = state_ ? state_->desktop : session_;
  DesktopSettings* desktop = desktops_(name);
  if (!desktop) {
    if (!std::exchange(told_no_desktop_, true)) {
      log_ << "nimbra: this desktop (" << (name.empty() ? "unknown" : name)
           << ") has no proxy setting Nimbra can set; the accelerator is left to the browser\n";
    }
    return;
  }
  const ProxySettings wanted = desktop->settings_for(*proxy);
  if (!state_) {
    const auto own = desktop->read(keys_of(wanted));
    if (!own) {
      log_ << "nimbra: cannot read the desktop's proxy settings; they are left as they are\n";
      return;
    }
    // On disk before the first change, with what is about to be written.
    state_ = ProxyState{name, entry, "", *own, wanted};
    save(*state_);
  }
  const bool written = desktop->write(wanted);
  state_->entry = entry;
  state_->proxy = written ? given : "";
  state_->written = desktop->read(keys_of(wanted)).value_or(wanted);
  save(*state_);
  log_ << "nimbra: the desktop's proxy is the connection's: " << given
       << (written ? "" : " (not every setting could be written)") << "\n";
}

void ProxyFollower::restore() {
  if (!state_) return;
  const auto later = [this] {
    log_ << "nimbra: cannot give the desktop's proxy settings back now; " << state_file_.string()
         << " keeps them for the next start\n";
  };
  DesktopSettings* desktop = desktops_(state_->desktop);
  const auto now = desktop ? desktop->read(keys_of(state_->saved)) : std::nullopt;
  if (!now) {
    later();
    return;
  }
  ProxySettings back;
  for (const auto& [key, value] : state_->saved) {
    const auto written = state_->written.find(key);
    const bool untouched = written != state_->written.end() && now->at(key) == written->second;
    if (untouched) back[key] = value;
  }
  if (!desktop->write(back)) {
    later();
    return;
  }
  std::error_code ec;
  std::filesystem::remove(state_file_, ec);
  state_.reset();
  log_ << "nimbra: the desktop's own proxy settings are back\n";
}

}  // namespace nimbra::lnx
