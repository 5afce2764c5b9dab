#include "platform/linux/linux_verify_ops.h"

#include <fcntl.h>

#include <cerrno>

#include "platform/linux/base/error_text.h"
#include "platform/linux/proc/fuse_questions.h"
#include "platform/linux/proc/running_program.h"
#include "platform/linux/base/unique_fd.h"

namespace proclens::linux_port {

FileCheck LinuxVerifyOps::CheckFile(const std::string& path, std::uint32_t pid, std::uint64_t size_limit) {
  FileCheck check;
  UniqueFd image;
  std::optional<ProgramFile> file;
  std::string why_not;
  if (pid != 0) {
    RunningProgram program = OpenRunningProgram(pid, path, proc_root_);
    if (program.state != nullptr) {
      check.state = program.state;
      check.reason = std::move(program.reason);
      check.memory_name = std::move(program.memory_name);
      return check;
    }
    image = std::move(program.image);
    file = ProgramFile{std::move(program.real_path), pid, program.kept};
  } else {
    // Sources know a file by its real path, not by the links that lead to it.
    file = ProgramFileAt(path, 0, &why_not);
  }
  if (!file) {
    check.state = file_state::kUnreadable;
    check.reason = why_not;
    return check;
  }
  int open_error = 0;
  if (!image.valid()) {
    // Non-blocking, so that a FIFO cannot hold the caller up. A file that
    // cannot be opened may still belong to no package or have no record,
    // which its source says without reading it.
    struct Opened {
      UniqueFd fd;
      int error = 0;
    };
    auto opened = FuseQuestions::OfThisProgram().Ask<Opened>(file->path, [path = file->path] {
      Opened done{UniqueFd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)), 0};
      if (!done.fd.valid()) done.error = errno;
      return done;
    });
    if (!opened) {
      check.state = file_state::kUnreadable;
      check.reason = kUnansweringFileSystem;
      return check;
    }
    image = std::move(opened->fd);
    open_error = opened->error;
  }
  check = origins_.Check(*file, image.get(), size_limit);
  if (check.state == file_state::kUnreadable && check.reason.empty() && open_error != 0)
    check.reason = ErrorText(open_error);
  return check;
}

}  // namespace proclens::linux_port
