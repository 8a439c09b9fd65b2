// SPDX-License-Identifier: MIT
// The INI-style files that every program on a machine rewrites (the phone book, the dial-up
// service's connections, the restarts): each change is a read-modify-write under the file's lock
// (the lock the registry takes, see file_lock.h), saved atomically before the lock is released,
// and keeps every line it did not mean to change.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>

#include "platform/text/ini_file.h"

namespace nimbra::sim {

// Reads the file under its lock (a missing file is an empty one), lets `change` change it and,
// when `change` returns true, saves it with `mode`. False when the file cannot be read whole
// (unreadable, or longer than `max_bytes`), locked or saved: the file then stays as it was and
// standard error says why.
bool update_shared_ini(const std::filesystem::path& file, size_t max_bytes, unsigned mode,
                       const std::function<bool(platform::IniFile&)>& change);

}  // namespace nimbra::sim
