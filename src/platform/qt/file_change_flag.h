// SPDX-License-Identifier: MIT
// Whether a file may have changed since it was last asked, told by the system's file watch
// through the event loop, so that a file asked about ten times a second costs nothing while it
// stays as it is. Replacing the file, creating, deleting and writing it all raise the flag.
// Where no watch can be set (the system's limit reached), the flag is always up.
#pragma once

#include <QFileSystemWatcher>
#include <filesystem>

namespace nimbra::qt {

class FileChangeFlag {
 public:
  explicit FileChangeFlag(std::filesystem::path file);
  FileChangeFlag(const FileChangeFlag&) = delete;
  FileChangeFlag& operator=(const FileChangeFlag&) = delete;

  // True the first time, then once after each change the event loop has heard of.
  bool take();

 private:
  void changed();

  QString file_;
  QFileSystemWatcher watcher_;
  bool watching_ = false;
  bool raised_ = true;
};

}  // namespace nimbra::qt
