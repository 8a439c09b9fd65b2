// SPDX-License-Identifier: MIT
#include "platform/sim/card/pty_card.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdlib>

namespace nimbra::sim {

namespace {

constexpr size_t kMaxPending = 256;
constexpr int kIdlePollMs = 1000;

int64_t now_ms() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n > 0) {
      bytes.remove_prefix(static_cast<size_t>(n));
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      return;  // the line is full or gone: the rest is lost, as on a wire
    }
  }
}

}  // namespace

PtyCard::PtyCard(CardSettings settings) : model_(std::move(settings)) {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
    close_master();
    throw PtyError("cannot open a pseudo-terminal");
  }
  std::array<char, 128> name{};
  if (::ptsname_r(master_, name.data(), name.size()) != 0) {
    close_master();
    throw PtyError("cannot name the pseudo-terminal");
  }
  slave_path_ = name.data();
  slave_keep_ = ::open(name.data(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  termios tio{};
  if (slave_keep_ < 0 || ::tcgetattr(slave_keep_, &tio) != 0) {
    close_master();
    throw PtyError("cannot open " + slave_path_.string());
  }
  // Raw from the start, so nothing the card sends is echoed back to it as a command.
  ::cfmakeraw(&tio);
  ::tcsetattr(slave_keep_, TCSANOW, &tio);
  ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
  if (::pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) {
    close_master();
    throw PtyError("cannot create a pipe");
  }
  thread_ = std::thread([this] { serve(); });
}

PtyCard::~PtyCard() {
  stopping_ = true;
  const char stop = 's';
  (void)!::write(wake_[1], &stop, 1);
  thread_.join();
  close_master();
  ::close(wake_[0]);
  ::close(wake_[1]);
}

void PtyCard::set_fault(CardFault fault) {
  std::lock_guard lock(mutex_);
  model_.set_fault(fault);
}

void PtyCard::unplug() {
  unplugged_ = true;
  const char wake = 'u';
  (void)!::write(wake_[1], &wake, 1);
}

std::vector<std::string> PtyCard::commands() const {
  std::lock_guard lock(mutex_);
  return model_.commands();
}

void PtyCard::close_master() {
  if (slave_keep_ >= 0) ::close(slave_keep_);
  if (master_ >= 0) ::close(master_);
  slave_keep_ = -1;
  master_ = -1;
}

void PtyCard::serve() {
  std::array<char, 512> chunk{};
  while (!stopping_) {
    if (unplugged_) {
      close_master();
      return;
    }
    int timeout = kIdlePollMs;
    {
      std::lock_guard lock(mutex_);
      const int64_t now = now_ms();
      for (auto it = pending_.begin(); it != pending_.end();) {
        if (it->due_ms <= now) {
          write_all(master_, it->bytes);
          it = pending_.erase(it);
        } else {
          timeout = std::min<int>(timeout, static_cast<int>(it->due_ms - now));
          ++it;
        }
      }
    }
    std::array<pollfd, 2> fds{{{master_, POLLIN, 0}, {wake_[0], POLLIN, 0}}};
    if (::poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR) return;
    if (fds[1].revents & POLLIN) {
      while (::read(wake_[0], chunk.data(), chunk.size()) > 0) {
      }
    }
    if (!(fds[0].revents & POLLIN)) continue;
    const ssize_t n = ::read(master_, chunk.data(), chunk.size());
    if (n <= 0) continue;
    std::lock_guard lock(mutex_);
    const int64_t now = now_ms();
    // Answers keep their order even when a later one has a shorter reply time.
    int64_t after = pending_.empty() ? now : pending_.back().due_ms;
    for (auto& out : model_.receive(std::string_view(chunk.data(), static_cast<size_t>(n)))) {
      if (pending_.size() == kMaxPending) break;
      after = std::max(after, now + static_cast<int64_t>(out.delay_ms));
      pending_.push_back({after, std::move(out.bytes)});
    }
    if (model_.unplugged()) unplugged_ = true;
  }
}

}  // namespace nimbra::sim
