#pragma once
// Sleeping child processes that give the catalogue benchmarks a known crowd to list.

#include <sys/types.h>

namespace proclens::bench {

// Forks `count` children that pause until they are killed. They die with the
// holder (PR_SET_PDEATHSIG) and on their own after `lifetime_seconds` at the
// latest, so a crashed run leaves nothing behind. Prints "ready <count>" once
// all are running, then waits for SIGTERM, SIGINT, SIGHUP or the end of the
// lifetime, kills and reaps every child and returns the exit code.
int HoldSleepingChildren(int count, unsigned lifetime_seconds);

// The same crowd held by a process of its own, for a benchmark that lists it
// from within one binary: running once the constructor returns (see ready()),
// stopped and reaped when this object goes. The holder also stops when this
// process dies.
class SleepingCrowd {
 public:
  SleepingCrowd(int count, unsigned lifetime_seconds);
  ~SleepingCrowd();
  SleepingCrowd(const SleepingCrowd&) = delete;
  SleepingCrowd& operator=(const SleepingCrowd&) = delete;

  // Whether every child runs.
  bool ready() const { return ready_; }

 private:
  pid_t holder_ = -1;
  bool ready_ = false;
};

}  // namespace proclens::bench
