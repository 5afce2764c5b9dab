#include "platform/linux/origin_verify_ops.h"

#include <fcntl.h>

#include <cerrno>

#include "platform/linux/error_text.h"
#include "platform/linux/real_path.h"
#include "platform/linux/running_program.h"
#include "platform/linux/unique_fd.h"

namespace proclens::linux_port {

FileCheck OriginVerifyOps::CheckFile(const std::string& path, std::uint32_t pid, std::uint64_t size_limit) {
  FileCheck check;
  UniqueFd image;
  if (pid != 0) {
    RunningProgram program = OpenRunningProgram(pid, path, proc_root_);
    if (program.state != nullptr) {
      check.state = program.state;
      check.reason = std::move(program.reason);
      return check;
    }
    image = std::move(program.image);
  }
  // Sources know a file by its real path, not by the links that lead to it.
  const auto real = RealPathOf(path);
  if (!real) {
    check.state = file_state::kUnreadable;
    check.reason = ErrorText(errno);
    return check;
  }
  int open_error = 0;
  if (!image.valid()) {
    // Non-blocking, so that a FIFO cannot hold the caller up. A file that
    // cannot be opened may still belong to no package or have no record,
    // which its source says without reading it.
    image = UniqueFd(::open(real->c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!image.valid()) open_error = errno;
  }
  check = origins_.Check(ProgramFile{*real, pid}, image.get(), size_limit);
  if (check.state == file_state::kUnreadable && check.reason.empty() && open_error != 0)
    check.reason = ErrorText(open_error);
  return check;
}

}  // namespace proclens::linux_port
