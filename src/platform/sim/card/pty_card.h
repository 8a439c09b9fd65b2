// SPDX-License-Identifier: MIT
// The card on a pseudo-terminal, in real time: a thread serves the master side with the card's
// behaviour, and programs open the slave side as they would open the card's serial device.
#pragma once

#include <atomic>
#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/sim/card/card_model.h"

namespace nimbra::sim {

class PtyError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class PtyCard {
 public:
  // Opens the pseudo-terminal and starts serving it; throws PtyError.
  explicit PtyCard(CardSettings settings);
  ~PtyCard();
  PtyCard(const PtyCard&) = delete;
  PtyCard& operator=(const PtyCard&) = delete;

  // The path a program opens to talk to the card, like /dev/pts/7.
  const std::filesystem::path& slave_path() const { return slave_path_; }

  // Control face (callable from any thread).
  void set_fault(CardFault fault);
  // Closes the pseudo-terminal: an open slave side sees the line hang up.
  void unplug();
  bool plugged() const { return !unplugged_; }
  std::vector<std::string> commands() const;

 private:
  struct Pending {
    int64_t due_ms;
    std::string bytes;
  };
  void serve();
  void close_master();

  mutable std::mutex mutex_;
  CardModel model_;
  std::vector<Pending> pending_;
  int master_ = -1;
  int slave_keep_ = -1;  // keeps the line up while no program has the slave open
  int wake_[2] = {-1, -1};
  std::filesystem::path slave_path_;
  std::atomic<bool> unplugged_{false};
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

}  // namespace nimbra::sim
