// SPDX-License-Identifier: MIT
#include "file_versions.h"

#include <fstream>
#include <iterator>
#include <regex>

namespace nimbra::crash {

namespace fs = std::filesystem;

namespace {

const std::regex& temporary_name() {
  static const std::regex pattern(R"(\.(.+)\.[A-Za-z0-9]{6})");
  return pattern;
}

}  // namespace

Tree read_tree(const fs::path& root) {
  Tree tree;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(root, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (!it->is_regular_file()) continue;
    std::ifstream in(it->path(), std::ios::binary);
    tree[it->path().lexically_relative(root)] =
        std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return tree;
}

bool is_temporary(const fs::path& path) {
  return std::regex_match(path.filename().string(), temporary_name());
}

fs::path without_random_part(const fs::path& path) {
  if (!is_temporary(path)) return path;
  std::string name = path.filename().string();
  name.replace(name.size() - 6, 6, "XXXXXX");
  return path.parent_path() / name;
}

void FileVersions::add(const Tree& tree, const std::set<fs::path>& being_written) {
  for (auto& [file, seen] : files_) {
    if (!tree.contains(file) && !being_written.contains(file)) seen.absent = true;
  }
  for (const auto& [file, contents] : tree) {
    if (is_temporary(file) || being_written.contains(file)) continue;
    auto [it, added] = files_.try_emplace(file);
    if (added && states_ > 0) it->second.absent = true;
    it->second.contents.insert(contents);
  }
  ++states_;
}

bool FileVersions::holds(const fs::path& file, const std::string* contents) const {
  const auto it = files_.find(file);
  if (it == files_.end()) return contents == nullptr;
  return contents ? it->second.contents.contains(*contents) : it->second.absent;
}

std::set<fs::path> FileVersions::files() const {
  std::set<fs::path> out;
  for (const auto& [file, seen] : files_) out.insert(file);
  return out;
}

}  // namespace nimbra::crash
