#include "bench/catalogue_children.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace proclens::bench {
namespace {

// Room left for the system itself while the children are running.
constexpr long kPidHeadroom = 256;

long ReadFirstNumber(const char* path) {
  std::ifstream in(path);
  long value = -1;
  in >> value;
  return in ? value : -1;
}

// Every task takes a pid, threads included; /proc/loadavg counts them all
// ("running/total" in its fourth field).
long RunningTasks() {
  std::ifstream in("/proc/loadavg");
  double load = 0;
  std::string running_total;
  in >> load >> load >> load >> running_total;
  const auto slash = running_total.find('/');
  return slash == std::string::npos ? -1 : std::atol(running_total.c_str() + slash + 1);
}

bool MakeRoomFor(int count) {
  const long pid_max = ReadFirstNumber("/proc/sys/kernel/pid_max");
  const long tasks = RunningTasks();
  if (pid_max > 0 && tasks >= 0 && tasks + count + kPidHeadroom > pid_max) {
    std::fprintf(stderr, "pid_max %ld leaves no room for %d more processes (%ld running)\n",
                 pid_max, count, tasks);
    return false;
  }
  rlimit limit{};
  if (getrlimit(RLIMIT_NPROC, &limit) != 0) return true;
  const rlim_t wanted = static_cast<rlim_t>(tasks < 0 ? 0 : tasks) + count + kPidHeadroom;
  if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < wanted) {
    limit.rlim_cur = limit.rlim_max == RLIM_INFINITY ? wanted : std::min(wanted, limit.rlim_max);
    if (setrlimit(RLIMIT_NPROC, &limit) != 0) {
      std::fprintf(stderr, "cannot raise RLIMIT_NPROC: %s\n", std::strerror(errno));
    }
  }
  return true;
}

// Runs in the child between fork and its end: async-signal-safe calls only.
[[noreturn]] void SleepUntilKilled(pid_t holder, const sigset_t& original_mask,
                                   unsigned lifetime_seconds) {
  sigprocmask(SIG_SETMASK, &original_mask, nullptr);
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != holder) _exit(0);  // the holder died before the line above
  // A short name like most programs have: the bench binary's own name fills
  // comm's 15 characters, which would send every lister to the command line too.
  prctl(PR_SET_NAME, "bench-sleeper");
  alarm(lifetime_seconds);
  for (;;) pause();
}

int KillAndReap(const std::vector<pid_t>& children) {
  for (pid_t child : children) kill(child, SIGKILL);
  int reaped = 0;
  for (pid_t child : children) {
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    ++reaped;
  }
  return reaped;
}

}  // namespace

int HoldSleepingChildren(int count, unsigned lifetime_seconds) {
  if (count < 0 || lifetime_seconds == 0) return 2;
  if (!MakeRoomFor(count)) return 1;

  // The stop signals wait in the mask until sigtimedwait takes them, so none
  // can slip in between forking and waiting.
  sigset_t stop_signals, original_mask;
  sigemptyset(&stop_signals);
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&stop_signals, signal);
  sigprocmask(SIG_BLOCK, &stop_signals, &original_mask);

  const pid_t holder = getpid();
  std::vector<pid_t> children;
  children.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const pid_t child = fork();
    if (child == 0) SleepUntilKilled(holder, original_mask, lifetime_seconds);
    if (child < 0) {
      std::fprintf(stderr, "fork failed after %d children: %s\n", i, std::strerror(errno));
      KillAndReap(children);
      return 1;
    }
    children.push_back(child);
  }
  std::printf("ready %d\n", count);
  std::fflush(stdout);

  timespec lifetime{static_cast<time_t>(lifetime_seconds), 0};
  while (sigtimedwait(&stop_signals, nullptr, &lifetime) < 0 && errno == EINTR) {
  }
  const int reaped = KillAndReap(children);
  std::fprintf(stderr, "reaped %d children\n", reaped);
  return 0;
}

SleepingCrowd::SleepingCrowd(int count, unsigned lifetime_seconds) {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) return;
  std::fflush(nullptr);  // nothing buffered is written twice
  const pid_t parent = getpid();
  holder_ = fork();
  if (holder_ == 0) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(1);
    dup2(ends[1], STDOUT_FILENO);
    _exit(HoldSleepingChildren(count, lifetime_seconds));
  }
  close(ends[1]);
  // The holder's one line, "ready N", or nothing when it failed.
  std::string said;
  char buffer[64];
  ssize_t got = 0;
  while (holder_ > 0 && said.find('\n') == std::string::npos &&
         ((got = read(ends[0], buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR))) {
    if (got > 0) said.append(buffer, static_cast<std::size_t>(got));
  }
  close(ends[0]);
  ready_ = said.starts_with("ready ");
}

SleepingCrowd::~SleepingCrowd() {
  if (holder_ <= 0) return;  // never kill(-1)
  kill(holder_, SIGTERM);
  while (waitpid(holder_, nullptr, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace proclens::bench
