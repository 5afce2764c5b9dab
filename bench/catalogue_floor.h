#pragma once
// The least work any /proc catalogue can do, as the yardstick for ours.

#include <cstddef>

namespace proclens::bench {

struct FloorCount {
  std::size_t processes = 0;  // numeric /proc entries whose comm could be read
  std::size_t resolved = 0;   // of those, the ones whose exe link led to a file
};

// For every process: read its comm, readlink its exe and stat the target.
// Nothing else: no names completed from argv, no icons, no text for the list.
FloorCount WalkProcFloor();

}  // namespace proclens::bench
