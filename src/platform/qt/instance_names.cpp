// SPDX-License-Identifier: MIT
#include "platform/qt/instance_names.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <string>
#include <system_error>

namespace nimbra::qt {
namespace {

std::filesystem::path without_trailing_separator(const std::filesystem::path& path) {
  return path.has_filename() || !path.has_relative_path() ? path : path.parent_path();
}

std::filesystem::path canonical_form(const std::filesystem::path& directory) {
  std::error_code error;
  std::filesystem::path resolved = std::filesystem::weakly_canonical(directory, error);
  if (error) {
    resolved = std::filesystem::absolute(directory, error);
    if (error) resolved = directory;
  }
  return without_trailing_separator(resolved.lexically_normal());
}

}  // namespace

InstanceNames instance_names(const std::filesystem::path& machine_directory, unsigned uid,
                             const QString& directory) {
  // The uid keeps users apart when they share the temp directory.
  std::string key = std::to_string(uid);
  key.push_back('\0');
  key += canonical_form(machine_directory).native();
  const QByteArray digest = QCryptographicHash::hash(
      QByteArray(key.data(), static_cast<qsizetype>(key.size())), QCryptographicHash::Sha256);
  // 64 bits of the digest keep the socket path well inside the limit of a Unix socket address.
  const QString stem = QDir(directory).filePath(QStringLiteral("nimbra-") +
                                                QString::fromLatin1(digest.left(8).toHex()));
  return {QFile::encodeName(stem).toStdString(), stem + QStringLiteral(".sock")};
}

QString instance_directory() {
  const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

}  // namespace nimbra::qt
