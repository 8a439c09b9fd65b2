// SPDX-License-Identifier: MIT
// The tool's commands over files: what main runs once the command line is read.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>

#include "platform/runtime.h"

namespace nimbra::custom {

struct Streams {
  std::ostream& out;
  std::ostream& err;
};

// Each returns the exit status: 0 done, 1 refused or failed (told on `err`).
int run_template(const std::optional<std::filesystem::path>& ini, const Streams& io);
int run_build(const std::filesystem::path& ini, const std::filesystem::path& output,
              platform::Language language, const Streams& io);
int run_show(const std::filesystem::path& file, platform::Language language, const Streams& io);
int run_check(const std::filesystem::path& file, platform::Language language, const Streams& io);
// `input` is an INI when its name ends in ".ini", else a customisation file.
int run_preview(const std::filesystem::path& input, const std::filesystem::path& picture,
                platform::Language language, const Streams& io);

}  // namespace nimbra::custom
