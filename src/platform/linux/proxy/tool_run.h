// SPDX-License-Identifier: MIT
// Running a desktop tool (gsettings, kwriteconfig5) and reading what it prints.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace nimbra::lnx {

// Runs `argv` (argv[0] looked for on PATH, never through a shell) with standard input from
// /dev/null and its errors discarded; its standard output (at most 64 KiB) when it ended with
// status 0 within 10 seconds, else nothing (a tool still running then is killed).
std::optional<std::string> run_tool(const std::vector<std::string>& argv);

}  // namespace nimbra::lnx
