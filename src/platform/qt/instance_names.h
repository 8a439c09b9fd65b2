// SPDX-License-Identifier: MIT
// Where the single-instance lock and the activation server of one machine directory live.
#pragma once

#include <QString>
#include <filesystem>

namespace nimbra::qt {

struct InstanceNames {
  // The running instance holds the file lock of this path (its sidecar "<path>.lock").
  std::filesystem::path instance;
  QString server_name;  // absolute path of its activation socket
};

// The names every process of user `uid` computes for `machine_directory` (compared after
// resolving links and dots), placed in `directory`.
InstanceNames instance_names(const std::filesystem::path& machine_directory, unsigned uid,
                             const QString& directory);

// The user's runtime directory, or the temp directory when the session has none.
QString instance_directory();

}  // namespace nimbra::qt
