// SPDX-License-Identifier: MIT
#include "file_tracer.h"

#include <fcntl.h>
#include <linux/limits.h>
#include <signal.h>
#include <sys/ptrace.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <stdexcept>

namespace nimbra::crash {

namespace {

namespace fs = std::filesystem;

struct OpenFile {
  fs::path path;
  bool being_written = false;
};

// How a call names the file it changes.
enum class Target { None, Path, PathAt, SecondPathAt, Fd };

struct CallKind {
  const char* name;
  Target target;
  int path_arg;  // the argument that holds the path (Path, PathAt: its dirfd is the one before)
};

std::optional<CallKind> kind_of(uint64_t nr) {
  switch (nr) {
    case SYS_open:
      return CallKind{"open", Target::Path, 0};
    case SYS_creat:
      return CallKind{"creat", Target::Path, 0};
    case SYS_openat:
      return CallKind{"openat", Target::PathAt, 1};
    case SYS_write:
      return CallKind{"write", Target::Fd, 0};
    case SYS_pwrite64:
      return CallKind{"pwrite64", Target::Fd, 0};
    case SYS_writev:
      return CallKind{"writev", Target::Fd, 0};
    case SYS_pwritev:
      return CallKind{"pwritev", Target::Fd, 0};
    case SYS_ftruncate:
      return CallKind{"ftruncate", Target::Fd, 0};
    case SYS_fallocate:
      return CallKind{"fallocate", Target::Fd, 0};
    case SYS_fsync:
      return CallKind{"fsync", Target::Fd, 0};
    case SYS_fdatasync:
      return CallKind{"fdatasync", Target::Fd, 0};
    case SYS_fchmod:
      return CallKind{"fchmod", Target::Fd, 0};
    case SYS_close:
      return CallKind{"close", Target::Fd, 0};
    case SYS_rename:
      return CallKind{"rename", Target::Path, 1};
    case SYS_renameat:
      return CallKind{"renameat", Target::SecondPathAt, 3};
    case SYS_renameat2:
      return CallKind{"renameat2", Target::SecondPathAt, 3};
    case SYS_unlink:
      return CallKind{"unlink", Target::Path, 0};
    case SYS_unlinkat:
      return CallKind{"unlinkat", Target::PathAt, 1};
    case SYS_rmdir:
      return CallKind{"rmdir", Target::Path, 0};
    case SYS_mkdir:
      return CallKind{"mkdir", Target::Path, 0};
    case SYS_mkdirat:
      return CallKind{"mkdirat", Target::PathAt, 1};
    case SYS_truncate:
      return CallKind{"truncate", Target::Path, 0};
    case SYS_chmod:
      return CallKind{"chmod", Target::Path, 0};
    case SYS_fchmodat:
      return CallKind{"fchmodat", Target::PathAt, 1};
    default:
      return std::nullopt;
  }
}

bool opens_for_writing(uint64_t flags) {
  return (flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC)) != 0;
}

std::string read_string(pid_t pid, uint64_t address) {
  std::string out;
  char buffer[256];
  while (out.size() < PATH_MAX) {
    iovec local{buffer, sizeof buffer};
    iovec remote{reinterpret_cast<void*>(address + out.size()), sizeof buffer};
    const ssize_t n = ::process_vm_readv(pid, &local, 1, &remote, 1, 0);
    if (n <= 0) break;
    const auto* end = static_cast<const char*>(std::memchr(buffer, 0, static_cast<size_t>(n)));
    if (end) return out.append(buffer, static_cast<size_t>(end - buffer));
    out.append(buffer, static_cast<size_t>(n));
  }
  return out;
}

fs::path link_target(const fs::path& link) {
  std::error_code ec;
  const fs::path target = fs::read_symlink(link, ec);
  return ec ? fs::path() : target;
}

// A path argument as an absolute path, relative ones against the call's folder descriptor.
fs::path resolve(pid_t pid, int64_t dirfd, const std::string& name) {
  const fs::path path(name);
  if (path.is_absolute()) return path.lexically_normal();
  const std::string proc = "/proc/" + std::to_string(pid);
  const fs::path base = dirfd == AT_FDCWD ? link_target(proc + "/cwd")
                                          : link_target(proc + "/fd/" + std::to_string(dirfd));
  return (base / path).lexically_normal();
}

bool is_below(const fs::path& path, const fs::path& root) {
  const auto rel = path.lexically_relative(root);
  return !rel.empty() && *rel.begin() != "..";
}

// The call in progress on one thread, between its entry and exit stops.
struct PendingCall {
  uint64_t nr = 0;
  uint64_t args[6] = {};
  std::optional<FileEvent> event;
  bool existed = false;  // for an open: whether its file was there before
};

class Tracer {
 public:
  Tracer(pid_t child, const TraceOptions& options) : child_(child), options_(options) {}

  TraceResult run() {
    int status = 0;
    if (::waitpid(child_, &status, 0) != child_ || !WIFSTOPPED(status)) {
      throw std::runtime_error("the traced program did not stop at its start");
    }
    const long flags =
        PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL | PTRACE_O_TRACECLONE | PTRACE_O_TRACEEXEC;
    if (::ptrace(PTRACE_SETOPTIONS, child_, nullptr, flags) != 0) {
      throw std::runtime_error(std::string("ptrace: ") + std::strerror(errno));
    }
    resume(child_, 0);
    for (;;) {
      const pid_t tid = ::waitpid(-1, &status, __WALL);
      if (tid < 0) {
        if (errno == EINTR) continue;
        break;
      }
      if (WIFEXITED(status) || WIFSIGNALED(status)) {
        pending_.erase(tid);
        if (tid == child_) {
          result_.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
          break;
        }
        continue;
      }
      const int signal = WSTOPSIG(status);
      if (signal == (SIGTRAP | 0x80)) {
        on_syscall_stop(tid);
      } else if ((status >> 16) != 0 || signal == SIGSTOP) {
        resume(tid, 0);  // a clone or exec event, or a new thread's first stop
      } else {
        resume(tid, signal);
      }
    }
    result_.events = next_event_;
    return result_;
  }

 private:
  void resume(pid_t tid, int signal) {
    ::ptrace(PTRACE_SYSCALL, tid, nullptr, reinterpret_cast<void*>(static_cast<intptr_t>(signal)));
  }

  void kill_now(const FileEvent& event) {
    result_.killed_at = event;
    ::kill(child_, SIGKILL);
  }

  void on_syscall_stop(pid_t tid) {
    __ptrace_syscall_info info{};
    if (::ptrace(PTRACE_GET_SYSCALL_INFO, tid, reinterpret_cast<void*>(sizeof info), &info) <= 0) {
      resume(tid, 0);
      return;
    }
    if (info.op == PTRACE_SYSCALL_INFO_ENTRY) {
      PendingCall call;
      call.nr = info.entry.nr;
      std::memcpy(call.args, info.entry.args, sizeof call.args);
      call.event = event_of(tid, call);
      if (call.event) {
        if (options_.before_event) options_.before_event(*call.event, being_written());
        if (options_.kill && options_.kill->event == call.event->index && !options_.kill->after) {
          kill_now(*call.event);
          return;
        }
      }
      pending_[tid] = call;
    } else if (info.op == PTRACE_SYSCALL_INFO_EXIT) {
      const auto it = pending_.find(tid);
      if (it != pending_.end()) {
        const PendingCall call = it->second;
        pending_.erase(it);
        after_call(tid, call, info.exit.rval);
        if (call.event && options_.kill && options_.kill->event == call.event->index &&
            options_.kill->after) {
          kill_now(*call.event);
          return;
        }
      }
    }
    resume(tid, 0);
  }

  std::optional<FileEvent> event_of(pid_t tid, PendingCall& call) {
    const auto kind = kind_of(call.nr);
    if (!kind) return std::nullopt;
    fs::path path;
    switch (kind->target) {
      case Target::None:
        return std::nullopt;
      case Target::Fd: {
        const auto it = open_files_.find(static_cast<int>(call.args[0]));
        if (it == open_files_.end()) return std::nullopt;
        path = it->second.path;
        break;
      }
      case Target::Path:
        path = resolve(tid, AT_FDCWD, read_string(tid, call.args[kind->path_arg]));
        break;
      case Target::PathAt:
      case Target::SecondPathAt:
        path = resolve(tid, static_cast<int64_t>(call.args[kind->path_arg - 1]),
                       read_string(tid, call.args[kind->path_arg]));
        break;
    }
    if (call.nr == SYS_rename || kind->target == Target::SecondPathAt) {
      // A rename counts when either name is ours.
      const int from = call.nr == SYS_rename ? 0 : 1;
      const fs::path source =
          resolve(tid, call.nr == SYS_rename ? AT_FDCWD : static_cast<int64_t>(call.args[0]),
                  read_string(tid, call.args[from]));
      if (!is_below(path, options_.root) && !is_below(source, options_.root)) return std::nullopt;
    } else if (!is_below(path, options_.root)) {
      return std::nullopt;
    }
    if (is_open(call.nr)) {
      const uint64_t flags = call.nr == SYS_creat    ? (O_CREAT | O_WRONLY | O_TRUNC)
                             : call.nr == SYS_openat ? call.args[2]
                                                     : call.args[1];
      if (!opens_for_writing(flags)) return std::nullopt;
      struct stat st {};
      call.existed = ::stat(path.c_str(), &st) == 0;
    }
    return FileEvent{next_event_++, kind->name, path};
  }

  static bool is_open(uint64_t nr) { return nr == SYS_open || nr == SYS_openat || nr == SYS_creat; }

  void after_call(pid_t tid, const PendingCall& call, int64_t result) {
    if (!call.event) return;
    if (call.nr == SYS_close) {
      open_files_.erase(static_cast<int>(call.args[0]));
      return;
    }
    if (result < 0) return;
    if (is_open(call.nr)) {
      const uint64_t flags = call.nr == SYS_creat    ? (O_CREAT | O_TRUNC)
                             : call.nr == SYS_openat ? call.args[2]
                                                     : call.args[1];
      const bool truncates = (flags & O_TRUNC) != 0 || ((flags & O_CREAT) != 0 && !call.existed);
      const fs::path opened =
          link_target("/proc/" + std::to_string(tid) + "/fd/" + std::to_string(result));
      open_files_[static_cast<int>(result)] = {opened.empty() ? call.event->path : opened,
                                               truncates};
      return;
    }
    const auto kind = kind_of(call.nr);
    if (kind && kind->target == Target::Fd && call.nr != SYS_fsync && call.nr != SYS_fdatasync &&
        call.nr != SYS_fchmod) {
      open_files_[static_cast<int>(call.args[0])].being_written = true;
    }
  }

  std::set<fs::path> being_written() const {
    std::set<fs::path> out;
    for (const auto& [fd, file] : open_files_) {
      if (file.being_written) out.insert(file.path);
    }
    return out;
  }

  pid_t child_;
  const TraceOptions& options_;
  std::map<pid_t, PendingCall> pending_;
  std::map<int, OpenFile> open_files_;  // the program's descriptors of files below the root
  size_t next_event_ = 0;
  TraceResult result_;
};

}  // namespace

TraceResult trace_file_changes(const std::vector<std::string>& argv, const TraceOptions& options) {
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  const pid_t child = ::fork();
  if (child < 0) throw std::runtime_error(std::string("fork: ") + std::strerror(errno));
  if (child == 0) {
    const int out = ::open(options.output.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out >= 0) {
      ::dup2(out, STDOUT_FILENO);
      ::dup2(out, STDERR_FILENO);
    }
    ::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
    ::raise(SIGSTOP);
    ::execv(args[0], args.data());
    ::_exit(127);
  }
  return Tracer(child, options).run();
}

}  // namespace nimbra::crash
