// SPDX-License-Identifier: MIT
// crash_consistency: kills a scripted session of the program with SIGKILL at chosen moments and
// checks what it leaves. A reference run under the tracer numbers every change the session
// makes to the machine's files and keeps every version of each file it left whole; then, for
// each kill point, the session runs again on a fresh copy of the machine and is killed just
// before or just after that change. Every file must then hold one of its versions (or be absent
// where it was absent), and the next start must work.
//   crash_consistency SESSION [--kill-points N|all] [--seed S] [--first-writes]
// SESSION is the crash_session program. N kill points (default 8) are drawn with the seed from
// equal shares of all the moments, so that they spread over the whole session; --first-writes
// adds the moment each file (a temporary one by its name without the random part) was first
// opened for writing: the instant it appears or is truncated.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "file_tracer.h"
#include "file_versions.h"

namespace {

namespace fs = std::filesystem;
using nimbra::crash::FileEvent;
using nimbra::crash::FileVersions;
using nimbra::crash::KillPoint;
using nimbra::crash::TraceOptions;

struct Settings {
  fs::path session;
  std::optional<size_t> kill_points = 8;  // nothing: every one
  uint32_t seed = 1;
  bool first_writes = false;
};

struct Figures {
  size_t kills = 0;
  size_t files_checked = 0;
  size_t corrupt_files = 0;
  size_t failed_starts = 0;
  size_t temporaries_left = 0;  // after the kill
  size_t temporaries_after_start = 0;
  size_t diverged = 0;  // kill points whose change was not the reference's
};

std::string read_all(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs `argv` untraced, its output to `output`; the exit status, -1 when it did not exit.
int run(const std::vector<std::string>& argv, const fs::path& output) {
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    std::FILE* out = std::freopen(output.c_str(), "w", stdout);
    if (out) ::dup2(::fileno(out), STDERR_FILENO);
    ::alarm(120);  // a start that hangs counts as a failed start
    ::execv(args[0], args.data());
    ::_exit(127);
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void fresh_copy(const fs::path& from, const fs::path& to) {
  fs::remove_all(to);
  fs::copy(from, to, fs::copy_options::recursive);
}

std::string describe(const KillPoint& point, const FileEvent& event, const fs::path& root) {
  return std::string(point.after ? "after " : "before ") + event.call + " " +
         nimbra::crash::without_random_part(event.path.lexically_relative(root)).string();
}

std::vector<KillPoint> choose(const std::vector<FileEvent>& events, const Settings& settings) {
  const size_t moments = 2 * events.size();
  std::set<size_t> chosen;
  if (!settings.kill_points || *settings.kill_points >= moments) {
    for (size_t m = 0; m < moments; ++m) chosen.insert(m);
  } else {
    std::mt19937 random(settings.seed);
    const size_t count = *settings.kill_points;
    for (size_t i = 0; i < count; ++i) {
      const size_t begin = moments * i / count;
      const size_t end = std::max(begin + 1, moments * (i + 1) / count);
      chosen.insert(std::uniform_int_distribution<size_t>(begin, end - 1)(random));
    }
  }
  if (settings.first_writes) {
    std::set<fs::path> opened;
    for (const FileEvent& event : events) {
      if (event.call.starts_with("open") &&
          opened.insert(nimbra::crash::without_random_part(event.path)).second) {
        chosen.insert(2 * event.index + 1);
      }
    }
  }
  std::vector<KillPoint> points;
  for (const size_t m : chosen) points.push_back({m / 2, m % 2 == 1});
  return points;
}

std::optional<Settings> parse(int argc, char** argv) {
  if (argc < 2) return std::nullopt;
  Settings settings;
  settings.session = fs::absolute(argv[1]);
  for (int i = 2; i < argc; ++i) {
    const std::string flag = argv[i];
    if (flag == "--first-writes") {
      settings.first_writes = true;
      continue;
    }
    if (i + 1 == argc) return std::nullopt;
    const std::string value = argv[++i];
    if (flag == "--kill-points") {
      settings.kill_points =
          value == "all" ? std::nullopt : std::optional<size_t>(std::stoul(value));
    } else if (flag == "--seed") {
      settings.seed = static_cast<uint32_t>(std::stoul(value));
    } else {
      return std::nullopt;
    }
  }
  return settings;
}

class Run {
 public:
  Run(const Settings& settings, const fs::path& work)
      : settings_(settings),
        template_(work / "template"),
        machine_(work / "machine"),
        log_(work / "session.log") {}

  // The session once, whole, with every version of every file it leaves whole; false when it
  // does not complete.
  bool reference() {
    if (run({settings_.session, "create", template_}, log_) != 0) return report_log("create");
    fresh_copy(template_, machine_);
    versions_.add(nimbra::crash::read_tree(machine_));
    TraceOptions options{machine_, std::nullopt,
                         [this](const FileEvent& event, const std::set<fs::path>& writing) {
                           std::set<fs::path> relative;
                           for (const fs::path& file : writing) {
                             relative.insert(file.lexically_relative(machine_));
                           }
                           versions_.add(nimbra::crash::read_tree(machine_), relative);
                           events_.push_back(event);
                         },
                         log_};
    const auto result =
        nimbra::crash::trace_file_changes({settings_.session, "run", machine_}, options);
    if (result.exit_status != 0) return report_log("the reference session");
    versions_.add(nimbra::crash::read_tree(machine_));
    if (run({settings_.session, "start", machine_}, log_) != 0) {
      return report_log("the start after the reference session");
    }
    return true;
  }

  const std::vector<FileEvent>& events() const { return events_; }

  void kill_at(const KillPoint& point) {
    fresh_copy(template_, machine_);
    const auto result = nimbra::crash::trace_file_changes({settings_.session, "run", machine_},
                                                          {machine_, point, nullptr, log_});
    if (!result.killed_at) {
      std::printf("kill point %zu%s: not reached, the session made %zu changes\n", point.event,
                  point.after ? " (after)" : "", result.events);
      ++figures_.diverged;
      return;
    }
    ++figures_.kills;
    const std::string where = describe(point, *result.killed_at, machine_);
    const FileEvent& expected = events_[point.event];
    if (describe(point, expected, machine_) != where) {
      std::printf("kill %s: the reference made %s there\n", where.c_str(),
                  describe(point, expected, machine_).c_str());
      ++figures_.diverged;
    }
    check_files(where);
    const fs::path start_log = machine_.parent_path() / "start.log";
    if (run({settings_.session, "start", machine_}, start_log) != 0) {
      ++figures_.failed_starts;
      std::printf("kill %s: the next start failed: %s", where.c_str(), read_all(start_log).c_str());
    }
    figures_.temporaries_after_start += temporaries();
  }

  const Figures& figures() const { return figures_; }

 private:
  bool report_log(const std::string& what) {
    std::printf("%s failed:\n%s", what.c_str(), read_all(log_).c_str());
    return false;
  }

  size_t temporaries() const {
    size_t count = 0;
    for (const auto& [file, contents] : nimbra::crash::read_tree(machine_)) {
      if (nimbra::crash::is_temporary(file)) ++count;
    }
    return count;
  }

  void check_files(const std::string& where) {
    const auto tree = nimbra::crash::read_tree(machine_);
    auto files = versions_.files();
    for (const auto& [file, contents] : tree) {
      if (nimbra::crash::is_temporary(file)) {
        ++figures_.temporaries_left;
      } else {
        files.insert(file);
      }
    }
    for (const fs::path& file : files) {
      ++figures_.files_checked;
      const auto it = tree.find(file);
      const std::string* contents = it == tree.end() ? nullptr : &it->second;
      if (versions_.holds(file, contents)) continue;
      ++figures_.corrupt_files;
      std::printf("kill %s: %s is %s, no version the session left\n", where.c_str(), file.c_str(),
                  contents ? (std::to_string(contents->size()) + " bytes").c_str() : "missing");
    }
  }

  const Settings& settings_;
  fs::path template_;
  fs::path machine_;
  fs::path log_;
  FileVersions versions_;
  std::vector<FileEvent> events_;
  Figures figures_;
};

}  // namespace

int main(int argc, char** argv) {
  const auto settings = parse(argc, argv);
  if (!settings) {
    std::fputs(
        "usage: crash_consistency SESSION [--kill-points N|all] [--seed S] [--first-writes]\n",
        stderr);
    return 2;
  }
  std::string work_template = (fs::temp_directory_path() / "crash-consistency.XXXXXX").string();
  if (!::mkdtemp(work_template.data())) {
    std::perror("crash_consistency: mkdtemp");
    return 2;
  }
  const fs::path work = work_template;
  Run run(*settings, work);
  int status = 1;
  if (run.reference()) {
    const auto points = choose(run.events(), *settings);
    std::printf("the session makes %zu changes to the machine's files; %zu kill points\n",
                run.events().size(), points.size());
    std::fflush(stdout);
    for (const KillPoint& point : points) run.kill_at(point);
    const auto& f = run.figures();
    std::printf(
        "kills: %zu, files checked: %zu, corrupt files: %zu, failed next starts: %zu, "
        "temporary files left by the kills: %zu (after the next starts: %zu), "
        "kill points off the reference: %zu\n",
        f.kills, f.files_checked, f.corrupt_files, f.failed_starts, f.temporaries_left,
        f.temporaries_after_start, f.diverged);
    status = f.corrupt_files == 0 && f.failed_starts == 0 && f.diverged == 0 ? 0 : 1;
  }
  fs::remove_all(work);
  return status;
}
