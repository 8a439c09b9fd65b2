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

// The pppd that carries the link now: the file's process, when it runs as `program_name`.
std::optional<pid_t> live_pppd_of_link(const std::filesystem::path& run_dir, std::string_view link,
                                       std::string_view program_name);

}  // namespace nimbra::lnx
