// SPDX-License-Identifier: MIT
#include "platform/qt/file_change_flag.h"

#include <QFileInfo>

namespace nimbra::qt {

FileChangeFlag::FileChangeFlag(std::filesystem::path file)
    : file_(QString::fromStdString(file.string())) {
  // The folder's watch sees the file come, go and be replaced; the file's own watch sees
  // writes in place.
  watching_ = watcher_.addPath(QString::fromStdString(file.parent_path().string()));
  if (QFileInfo::exists(file_)) watcher_.addPath(file_);
  QObject::connect(&watcher_, &QFileSystemWatcher::directoryChanged, &watcher_,
                   [this] { changed(); });
  QObject::connect(&watcher_, &QFileSystemWatcher::fileChanged, &watcher_, [this] { changed(); });
}

bool FileChangeFlag::take() {
  if (!watching_) return true;
  const bool was = raised_;
  raised_ = false;
  return was;
}

void FileChangeFlag::changed() {
  raised_ = true;
  // A replaced file is a new one to watch.
  if (!watcher_.files().contains(file_) && QFileInfo::exists(file_)) watcher_.addPath(file_);
}

}  // namespace nimbra::qt
