// SPDX-License-Identifier: MIT
// The files of a machine directory as bytes, and every version of each that a session left whole:
// what a file may hold after the session was killed at any moment.
#pragma once

#include <filesystem>
#include <map>
#include <set>
#include <string>

namespace nimbra::crash {

// Relative path -> contents, of every regular file below the folder.
using Tree = std::map<std::filesystem::path, std::string>;

Tree read_tree(const std::filesystem::path& root);

// A temporary file an atomic replacement writes beside its file: ".NAME.XXXXXX".
bool is_temporary(const std::filesystem::path& path);

// The path with a temporary file's random part as XXXXXX, so that runs compare.
std::filesystem::path without_random_part(const std::filesystem::path& path);

class FileVersions {
 public:
  // Adds the state of every file of `tree` except those being written (relative paths); a file
  // that is not in the tree was absent, which is a version of it too.
  void add(const Tree& tree, const std::set<std::filesystem::path>& being_written = {});

  // Whether `contents` (nothing: absent) is a version of the file.
  bool holds(const std::filesystem::path& file, const std::string* contents) const;

  std::set<std::filesystem::path> files() const;

 private:
  struct Seen {
    std::set<std::string> contents;
    bool absent = false;
  };
  std::map<std::filesystem::path, Seen> files_;
  size_t states_ = 0;  // how many states were added: a file first seen later was absent before
};

}  // namespace nimbra::crash
