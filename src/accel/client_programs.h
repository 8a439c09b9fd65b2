// SPDX-License-Identifier: MIT
// The default web browser and mail program: found once at start by asking the shell which
// program opens an empty probe document of each type, and started on request.
#pragma once

#include <string>
#include <string_view>

#include "platform/shell.h"
#include "shell/app_context.h"

namespace nimbra::accel {

inline constexpr int kBrowserNotFound = 159;
inline constexpr int kMailerNotFound = 160;

// The program the shell associates with the document, or empty: also when the shell's answer
// holds no NUL or names the document itself (compared without regard to case).
std::string FindDefaultProgram(platform::Shell& shell, std::string_view document);

// `directory` + `name`, with one "\" between them; a directory that ends in "\" (a drive root)
// gets no second one.
std::string path_in_directory(std::string_view directory, std::string_view name);

// The programs for "xxx.html"; for "xxx.msg", else "xxx.eml". Each probe is created empty in
// the program's directory and deleted after the question. Where it cannot be created there (no
// write access), the program's temporary directory takes its place.
std::string FindBrowser(shell::AppContext& app);
std::string FindMailer(shell::AppContext& app);

// Start-up: BrowserPath and MailerPath.
void find_client_programs(shell::AppContext& app);

// Starts the program at `path` when the path is not empty and names an existing file now;
// otherwise, or when it cannot be started, shows message `message_id` in an OK box.
void launch_or_report(shell::AppContext& app, std::string_view path, int message_id);

}  // namespace nimbra::accel
