// SPDX-License-Identifier: MIT
#include "platform/linux/pppd/pppd_call_log.h"

#include "platform/host/file_io.h"
#include "platform/linux/pppd/text_lines.h"

namespace nimbra::lnx {

namespace {

constexpr size_t kMaxFileBytes = PppdCallLog::kMaxLines * (TextLines::kMaxLine + 1);

}  // namespace

void PppdCallLog::begin() {
  lines_.clear();
}

void PppdCallLog::add(std::string line) {
  if (line.size() > TextLines::kMaxLine) line.resize(TextLines::kMaxLine);
  lines_.push_back(std::move(line));
  if (lines_.size() > kMaxLines) lines_.pop_front();
}

bool PppdCallLog::save() const {
  if (file_.empty()) return true;
  std::string text;
  for (const std::string& line : lines_) text += line + "\n";
  return platform::write_text_file_atomic(file_, text, 0644);
}

std::vector<std::string> PppdCallLog::read(const std::filesystem::path& file) {
  TextLines lines;
  return lines.feed(platform::read_text_file(file, kMaxFileBytes).value_or("") + "\n");
}

}  // namespace nimbra::lnx
