// SPDX-License-Identifier: MIT
// Runs a program under ptrace and sees, from outside, every system call by which it changes a
// file under one folder: opening for writing, writing, syncing, closing such a file, renaming,
// removing, making folders. Each is an event, numbered in order; the program can be killed with
// SIGKILL just before an event's call runs or just after it returned.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace nimbra::crash {

struct FileEvent {
  size_t index = 0;
  std::string call;            // "write", "rename", ...
  std::filesystem::path path;  // the file it changes (a rename's new name)
};

struct KillPoint {
  size_t event = 0;
  bool after = false;  // after the call returned, else before it runs
};

struct TraceOptions {
  std::filesystem::path root;  // only files below it count
  std::optional<KillPoint> kill;
  // Called before each event's call runs, with the files the program is writing in place at
  // that moment (opened to be truncated or created, or written to, and not yet closed).
  std::function<void(const FileEvent&, const std::set<std::filesystem::path>& being_written)>
      before_event;
  std::filesystem::path output;  // the program's standard output and error go here
};

struct TraceResult {
  int exit_status = -1;  // the exit status, or -1 when it ended by a signal
  size_t events = 0;
  std::optional<FileEvent> killed_at;
};

// Runs `argv` (argv[0] a path) to its end, or to the kill point; throws std::runtime_error when
// it cannot be traced.
TraceResult trace_file_changes(const std::vector<std::string>& argv, const TraceOptions& options);

}  // namespace nimbra::crash
