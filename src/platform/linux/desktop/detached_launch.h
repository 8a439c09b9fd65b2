// SPDX-License-Identifier: MIT
// Starting a program that lives on by itself.
#pragma once

#include <string>
#include <vector>

namespace nimbra::lnx {

// Runs the program at `argv[0]` (a full path) with `argv`, never through a shell: in a new
// session of its own, stdin from /dev/null, and started through an intermediate child that is
// reaped at once, so no child of ours is left behind. False when it could not be started.
bool start_detached(const std::vector<std::string>& argv);

}  // namespace nimbra::lnx
