// SPDX-License-Identifier: MIT
#include "nimbra_test/temp_dir.h"

#include <stdlib.h>

#include <stdexcept>
#include <string>
#include <system_error>

namespace nimbra::test {

TempDir::TempDir() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "nimbra-test-XXXXXX").string();
  if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
  path_ = tmpl;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

}  // namespace nimbra::test
