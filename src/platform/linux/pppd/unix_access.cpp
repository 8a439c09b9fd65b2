// SPDX-License-Identifier: MIT
#include "platform/linux/pppd/unix_access.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <fstream>

namespace nimbra::lnx {

namespace {

constexpr size_t kMaxGroupLines = 10000;
constexpr int kMaxGroups = 256;

std::vector<std::string> split(const std::string& text, char at) {
  std::vector<std::string> pieces;
  size_t from = 0;
  for (size_t to = text.find(at); to != std::string::npos; to = text.find(at, from)) {
    pieces.push_back(text.substr(from, to - from));
    from = to + 1;
  }
  pieces.push_back(text.substr(from));
  return pieces;
}

}  // namespace

Credentials Credentials::of_this_process() {
  Credentials who;
  who.uid = ::getuid();
  std::array<gid_t, kMaxGroups> groups{};
  const int count = ::getgroups(kMaxGroups, groups.data());
  who.groups.assign(groups.begin(), groups.begin() + std::max(count, 0));
  who.groups.push_back(::getgid());
  if (const passwd* entry = ::getpwuid(who.uid)) {
    who.user = entry->pw_name;
  } else {
    who.user = std::to_string(who.uid);
  }
  return who;
}

bool Credentials::in_group(gid_t gid) const {
  return std::find(groups.begin(), groups.end(), gid) != groups.end();
}

std::optional<GroupEntry> find_group(const std::filesystem::path& group_file,
                                     const std::string& name) {
  std::ifstream in(group_file);
  std::string line;
  for (size_t n = 0; n < kMaxGroupLines && std::getline(in, line); ++n) {
    const std::vector<std::string> fields = split(line, ':');
    if (fields.size() != 4 || fields[0] != name) continue;
    GroupEntry group;
    const auto [end, ec] =
        std::from_chars(fields[2].data(), fields[2].data() + fields[2].size(), group.gid);
    if (ec != std::errc() || end != fields[2].data() + fields[2].size()) return std::nullopt;
    if (!fields[3].empty()) group.members = split(fields[3], ',');
    return group;
  }
  return std::nullopt;
}

bool may(const Credentials& who, const std::filesystem::path& file,
         std::initializer_list<Access> wanted) {
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0) return false;
  mode_t bits = 0;
  for (const Access a : wanted) bits |= static_cast<mode_t>(a);
  if (who.uid == 0) {
    const bool executes = (bits & static_cast<mode_t>(Access::Execute)) != 0;
    return !executes || S_ISDIR(st.st_mode) || (st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0;
  }
  int shift = 0;  // others
  if (st.st_uid == who.uid) {
    shift = 6;
  } else if (who.in_group(st.st_gid)) {
    shift = 3;
  }
  return ((st.st_mode >> shift) & bits) == bits;
}

}  // namespace nimbra::lnx
