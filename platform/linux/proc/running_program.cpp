#include "platform/linux/proc/running_program.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <optional>

#include "platform/linux/base/kept_folders.h"
#include "platform/linux/base/error_text.h"
#include "platform/linux/proc/fuse_questions.h"
#include "platform/linux/proc/process_root.h"
#include "platform/linux/base/real_path.h"
#include "platform/verify_ops.h"

namespace proclens::linux_port {
namespace {

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// The real path of path when, walked name by name without links, it leads to
// the running image: resolving and comparing are one step, so that a folder
// swapped for a link between the two cannot make the path of one file
// answer for another.
std::optional<std::string> RealPathOfImage(const std::string& path, const struct stat& running) {
  auto real = RealPathOf(path);
  if (!real) return std::nullopt;
  const UniqueFd reached = OpenWithoutLinks(*real);
  struct stat named {};
  if (!reached.valid() || ::fstat(reached.get(), &named) != 0 || !SameFile(named, running)) return std::nullopt;
  return real;
}

RunningProgram OpenNow(std::uint32_t pid, const std::string& path, const std::string& proc_root) {
  RunningProgram program;
  const std::string exe = proc_root + std::to_string(pid) + "/exe";
  program.image = UniqueFd(::open(exe.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  struct stat running {};
  if (!program.image.valid() || ::fstat(program.image.get(), &running) != 0) {
    // Never the path instead: it may name a file the process does not run.
    program.reason = ErrorText(errno);
    program.state = file_state::kUnreadable;
    program.image.Reset();
    return program;
  }
  // An image whose last name was removed (deleted, or an upgrade renamed a
  // new file over it) lives on until the process ends. The " (deleted)" that
  // the kernel then appends to the path proves nothing: a file may be named so.
  program.root = RootOfProcess(pid, proc_root);
  if (running.st_nlink == 0 && IsMemoryFileLink(path)) {
    // An anonymous memory file: the program never was on any disk.
    program.state = file_state::kInMemory;
    program.memory_name = MemoryFileName(path);
  } else if (running.st_nlink == 0) {
    program.state = file_state::kDeleted;
  } else if (program.root.own) {
    // A path of the process's own root, walked inside it: the kernel's
    // path is already free of links there.
    const UniqueFd reached = OpenInRoot(program.root.path, path);
    struct stat named {};
    if (reached.valid() && ::fstat(reached.get(), &named) == 0 && SameFile(named, running)) {
      program.real_path = path;
      // Whose word that root's databases are is judged by their own rules.
      program.kept = true;
    } else {
      program.state = file_state::kReplaced;
    }
  } else if (auto real = RealPathOfImage(path, running)) {
    program.real_path = std::move(*real);
    program.kept = FoldersKeptByRootOrViewer(program.real_path) &&
                   (program.real_path == path || FoldersKeptByRootOrViewer(path));
  } else {
    program.state = file_state::kReplaced;
  }
  if (program.state != nullptr) program.image.Reset();
  return program;
}

}  // namespace

RunningProgram OpenRunningProgram(std::uint32_t pid, const std::string& path, const std::string& proc_root) {
  // Opening the image asks its file system, which for a program on a FUSE
  // mount is a process that may not answer.
  auto opened = FuseQuestions::OfThisProgram().Ask<RunningProgram>(
      path, [pid, path, proc_root] { return OpenNow(pid, path, proc_root); });
  if (opened) return std::move(*opened);
  RunningProgram unanswered;
  unanswered.state = file_state::kUnreadable;
  unanswered.reason = kUnansweringFileSystem;
  return unanswered;
}

}  // namespace proclens::linux_port
