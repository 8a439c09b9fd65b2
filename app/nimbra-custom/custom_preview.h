// SPDX-License-Identifier: MIT
// The window as a customer will see it with a customisation file: a throw-away demo machine
// with the file in its Windows directory, photographed by the picture-taking program.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "platform/runtime.h"

namespace nimbra::custom {

struct PreviewRequest {
  std::span<const uint8_t> file;  // the customisation file's bytes
  platform::Language language;    // of the demo machine and the window
  std::filesystem::path picture;  // the PNG to write
  std::filesystem::path pictures_program;
};

// The picture-taking program beside this one in the build tree or in the installed library
// folder; nothing when neither is there.
std::optional<std::filesystem::path> find_pictures_program();

// Every page side by side in one picture under the window's title (a locked start: the
// access-code window). The picture is written whole or not at all. Nothing on success, else
// what went wrong. Message boxes of the demo machine's start (no browser on it, say) are
// answered and left out.
std::optional<std::string> take_preview(const PreviewRequest& request);

}  // namespace nimbra::custom
