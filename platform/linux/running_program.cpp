#include "platform/linux/running_program.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/linux/error_text.h"
#include "platform/verify_ops.h"

namespace proclens::linux_port {

RunningProgram OpenRunningProgram(std::uint32_t pid, const std::string& path, const std::string& proc_root) {
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
  if (running.st_nlink == 0) {
    program.state = file_state::kDeleted;
  } else {
    struct stat named {};
    if (::stat(path.c_str(), &named) != 0 || named.st_dev != running.st_dev || named.st_ino != running.st_ino)
      program.state = file_state::kReplaced;
  }
  if (program.state != nullptr) program.image.Reset();
  return program;
}

}  // namespace proclens::linux_port
