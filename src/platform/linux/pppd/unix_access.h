// SPDX-License-Identifier: MIT
// Who is asking and what the file modes let them do, worked out from a file's owner, group and
// mode bits rather than by trying: the pre-flight check answers for a user without touching the
// device, and its tests answer for made-up users on a fake tree.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace nimbra::lnx {

struct Credentials {
  std::string user;
  uid_t uid = 0;
  std::vector<gid_t> groups;  // the session's groups, the primary one included

  // This process's user and groups.
  static Credentials of_this_process();
  bool in_group(gid_t gid) const;
};

struct GroupEntry {
  gid_t gid = 0;
  std::vector<std::string> members;
};

// A group of `group_file` (an /etc/group): nothing when it has no such group.
std::optional<GroupEntry> find_group(const std::filesystem::path& group_file,
                                     const std::string& name);

enum class Access { Read = 4, Write = 2, Execute = 1 };

// Whether the mode bits of `file` (links followed) grant every access in `wanted` to `who`;
// root is granted everything but executing a file no one may execute.
bool may(const Credentials& who, const std::filesystem::path& file,
         std::initializer_list<Access> wanted);

}  // namespace nimbra::lnx
