// SPDX-License-Identifier: MIT
// The last lines pppd said during the machine's last real call (its log and its standard error,
// and how the call ended), kept in the machine directory so that the reason of a failed call
// can be read after the error box has gone. The file is replaced whole as lines arrive; it holds
// no more than the last kMaxLines lines.
#pragma once

#include <deque>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace nimbra::lnx {

inline constexpr std::string_view kPppdCallLogFile = "pppd.log";

class PppdCallLog {
 public:
  static constexpr size_t kMaxLines = 40;

  // No file: the lines are kept in memory only.
  explicit PppdCallLog(std::filesystem::path file = {}) : file_(std::move(file)) {}

  // A new call: the old lines go.
  void begin();
  void add(std::string line);
  // Replaces the file with the lines kept; false when it cannot be written.
  bool save() const;

  const std::deque<std::string>& lines() const { return lines_; }

  // The lines of the file, for showing; empty when there is none.
  static std::vector<std::string> read(const std::filesystem::path& file);

 private:
  std::filesystem::path file_;
  std::deque<std::string> lines_;
};

}  // namespace nimbra::lnx
