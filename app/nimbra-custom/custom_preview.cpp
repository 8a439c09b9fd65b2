// SPDX-License-Identifier: MIT
#include "custom_preview.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>

#include "platform/host/file_io.h"
#include "platform/sim/machine/machine_location.h"
#include "platform/text/ini_file.h"
#include "program_run.h"

namespace nimbra::custom {

namespace fs = std::filesystem;

namespace {

// The window is photographed a few seconds in; a start that hangs is not waited for.
constexpr std::chrono::seconds kPictureLimit{120};
constexpr size_t kMostPictureBytes = 64 << 20;
constexpr size_t kMostIniBytes = 1 << 20;

// A directory of our own under the temporary folder, removed with everything in it.
class ThrowAwayDirectory {
 public:
  ThrowAwayDirectory() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/nimbra-custom-XXXXXX";
    if (mkdtemp(pattern.data())) path_ = pattern;
  }
  ~ThrowAwayDirectory() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
  }
  ThrowAwayDirectory(const ThrowAwayDirectory&) = delete;
  ThrowAwayDirectory& operator=(const ThrowAwayDirectory&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// The demo machine lets any account in, so that the file's preset user name connects.
std::optional<std::string> make_machine(const fs::path& machine, const PreviewRequest& request) {
  try {
    sim::ensure_demo_machine(machine, request.language);
  } catch (const std::exception& e) {
    return std::string("cannot make the demo machine: ") + e.what();
  }
  const fs::path config = machine / "machine.ini";
  const auto text = platform::read_text_file(config, kMostIniBytes);
  if (!text) return "cannot read " + config.string();
  platform::IniFile ini = platform::IniFile::parse(*text);
  ini.set("dialup", "accept", "");
  if (!platform::write_text_file_atomic(config, ini.format(), 0644) ||
      !platform::write_file_atomic(machine / "windows" / "nimbra1.ssd", request.file, 0600)) {
    return "cannot write the demo machine in " + machine.string();
  }
  return std::nullopt;
}

std::vector<std::string> picture_argv(const PreviewRequest& request, const fs::path& picture) {
  std::vector<std::string> argv = {request.pictures_program.string(), "--screenshot-sheet",
                                   picture.string()};
  const char* display = std::getenv("DISPLAY");
  if (display && *display) return argv;
  const auto xvfb_run = find_in_path("xvfb-run");
  if (!xvfb_run) return {};
  argv.insert(argv.begin(), {*xvfb_run, "-a", "-s", "-screen 0 1280x800x24"});
  return argv;
}

std::optional<std::string> copy_picture(const fs::path& from, const fs::path& to) {
  const auto bytes = platform::read_file_bounded(from, kMostPictureBytes);
  if (!bytes || bytes->empty()) return "the picture-taking program saved no picture";
  if (!platform::write_file_atomic(to, *bytes, 0644)) return "cannot write " + to.string();
  return std::nullopt;
}

}  // namespace

std::optional<fs::path> find_pictures_program() {
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  if (error) return std::nullopt;
  const fs::path dir = self.parent_path();
  for (const fs::path& candidate : {dir / ".." / "nimbra" / "nimbra-pictures",
                                    dir / ".." / NIMBRA_PICTURES_DIR / "nimbra-pictures"}) {
    if (access(candidate.c_str(), X_OK) == 0) return candidate.lexically_normal();
  }
  return std::nullopt;
}

std::optional<std::string> take_preview(const PreviewRequest& request) {
  const ThrowAwayDirectory work;
  if (work.path().empty()) return "cannot make a temporary directory";
  const fs::path machine = work.path() / "machine";
  if (auto problem = make_machine(machine, request)) return problem;
  const fs::path picture = work.path() / "preview.png";
  const auto argv = picture_argv(request, picture);
  if (argv.empty()) return "there is no display and xvfb-run is not installed (package xvfb)";
  const bool japanese = request.language == platform::Language::Japanese;
  const std::string locale = japanese ? "ja_JP.UTF-8" : "en_US.UTF-8";
  const auto env = environment_with({"NIMBRA_MACHINE=" + machine.string(),
                                     "XDG_RUNTIME_DIR=" + work.path().string(), "LANG=" + locale,
                                     "LC_ALL=" + locale});
  const auto status = run_program({argv, env, kPictureLimit});
  if (status != 0) {
    return "the picture-taking program " + request.pictures_program.string() +
           (status ? " failed (exit status " + std::to_string(*status) + ")"
                   : " could not run to its end");
  }
  return copy_picture(picture, request.picture);
}

}  // namespace nimbra::custom
