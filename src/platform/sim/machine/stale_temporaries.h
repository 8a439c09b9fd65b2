// SPDX-License-Identifier: MIT
// What an atomic replacement that never finished leaves behind: a program killed mid-write leaves
// its temporary file ".NAME.XXXXXX" beside NAME. Opening the machine removes them.
#pragma once

#include <filesystem>

namespace nimbra::sim {

// Removes the temporary files under the machine directory that nobody can still be writing: one
// of a locked file (one with a lock file beside it) when its lock is free, which no writer then
// holds; any other once nothing has written it for ten minutes. The walk is bounded.
void remove_stale_temporaries(const std::filesystem::path& machine_dir);

}  // namespace nimbra::sim
