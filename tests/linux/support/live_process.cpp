#include "linux/support/live_process.h"

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace proclens::linux_test {
namespace {

constexpr uid_t kNobody = 65534;

std::string ReadAll(int fd) {
  std::string text;
  char buffer[4096];
  ssize_t got;
  while ((got = ::read(fd, buffer, sizeof buffer)) != 0) {
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) break;
    text.append(buffer, static_cast<std::size_t>(got));
  }
  return text;
}

void WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t put = ::write(fd, text.data() + done, text.size() - done);
    if (put <= 0) return;
    done += static_cast<std::size_t>(put);
  }
}

}  // namespace

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "proclens-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
  // The unprivileged tests must be able to reach the files inside, and to
  // write there; sticky as /tmp is, so that what root writes stays root's.
  std::filesystem::permissions(path_, std::filesystem::perms::all | std::filesystem::perms::sticky_bit);
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path CopySleep(const std::filesystem::path& dir, const std::string& name,
                                std::uintmax_t size) {
  const auto target = dir / name;
  std::filesystem::copy_file("/bin/sleep", target);
  std::filesystem::resize_file(target, size);
  std::filesystem::permissions(target, std::filesystem::perms::owner_all |
                                           std::filesystem::perms::group_exec |
                                           std::filesystem::perms::others_exec |
                                           std::filesystem::perms::group_read |
                                           std::filesystem::perms::others_read);
  return target;
}

Child::Child(const std::string& program, const std::vector<std::string>& argv) {
  // The pipe closes on exec: EOF means the program runs, a byte means exec failed.
  int exec_pipe[2];
  if (::pipe2(exec_pipe, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  pid_ = ::fork();
  if (pid_ == 0) {
    std::vector<char*> args;
    for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    ::execv(program.c_str(), args.data());
    WriteAll(exec_pipe[1], "x");
    ::_exit(127);
  }
  ::close(exec_pipe[1]);
  const std::string failure = ReadAll(exec_pipe[0]);
  ::close(exec_pipe[0]);
  if (pid_ < 0 || !failure.empty()) {
    KillAndReap();
    throw std::runtime_error("cannot start " + program);
  }
}

Child::~Child() { KillAndReap(); }

void Child::KillWithoutReaping() {
  if (pid_ <= 0 || reaped_) return;
  ::kill(pid_, SIGKILL);
  // Wait until it is a zombie, without collecting it.
  siginfo_t info{};
  ::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOWAIT);
}

void Child::KillAndReap() {
  if (pid_ <= 0 || reaped_) return;
  ::kill(pid_, SIGKILL);
  ::waitpid(pid_, nullptr, 0);
  reaped_ = true;
}

std::string RunAsNobody(const std::string& locale, const std::function<std::string()>& work) {
  int result_pipe[2];
  if (::pipe(result_pipe) != 0) throw std::runtime_error("pipe failed");
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(result_pipe[0]);
    ::setenv("LC_ALL", locale.c_str(), 1);
    if (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0 ||
        ::setresuid(kNobody, kNobody, kNobody) != 0) {
      WriteAll(result_pipe[1], "cannot become nobody");
      ::_exit(1);
    }
    WriteAll(result_pipe[1], work());
    ::_exit(0);
  }
  ::close(result_pipe[1]);
  std::string result = ReadAll(result_pipe[0]);
  ::close(result_pipe[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "child failed: " + result;
  return result;
}

}  // namespace proclens::linux_test
