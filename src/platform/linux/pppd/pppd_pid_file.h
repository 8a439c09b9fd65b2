// SPDX-License-Identifier: MIT
// pppd's pid file of a link: RUN_DIR/ppp-LINK.pid, the process id on its first line (and the
// interface on a second once it is known). pppd removes it when it ends; one left behind by a
// pppd that was killed is stale: its process is gone, or the id now belongs to another program.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string_view>

namespace nimbra::lnx {

std::filesystem::path pppd_pid_file(const std::filesystem::path& run_dir, std::string_view link);

// Whether `pid` runs as `program_name` with "call LINK" in its command line: the pppd of the link,
// not a process that was given the id of one that ended.
bool pppd_of_link_runs(pid_t pid, std::string_view link, std::string_view program_name);

// The pppd that carries the link now: the file's process, when it is the link's pppd.
std::optional<pid_t> live_pppd_of_link(const std::filesystem::path& run_dir, std::string_view link,
                                       std::string_view program_name);

}  // namespace nimbra::lnx
