#pragma once
// Sleeping child processes that give the catalogue benchmark a known crowd to list.

namespace proclens::bench {

// Forks `count` children that pause until they are killed. They die with the
// holder (PR_SET_PDEATHSIG) and on their own after `lifetime_seconds` at the
// latest, so a crashed run leaves nothing behind. Prints "ready <count>" once
// all are running, then waits for SIGTERM, SIGINT, SIGHUP or the end of the
// lifetime, kills and reaps every child and returns the exit code.
int HoldSleepingChildren(int count, unsigned lifetime_seconds);

}  // namespace proclens::bench
