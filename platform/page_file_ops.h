#pragma once
// The program's own path and the temporary files that offline pages are
// written to. One platform call each, so that what happens on a failure is
// decided in portable code.

#include <optional>
#include <string>
#include <string_view>

namespace proclens {

class PageFileOps {
 public:
  virtual ~PageFileOps() = default;
  // GetModuleFileNameA for the running program: its full path, asked afresh
  // at every call; empty when the platform cannot tell.
  virtual std::string ProgramPath() = 0;
  // GetTempPathA: the user's temporary folder, ending in its separator;
  // nullopt when there is none (or its path does not fit).
  virtual std::optional<std::string> TemporaryFolder() = 0;
  // GetTempFileNameA with a prefix and the number 0: creates a new empty file
  // with a unique name in the folder; its full path, nullopt on failure.
  virtual std::optional<std::string> CreateTemporaryFile(const std::string& folder,
                                                         const std::string& prefix) = 0;
  // Replaces the file's content with the bytes, unchanged; false when opening,
  // writing or closing fails.
  virtual bool WriteWholeFile(const std::string& path, std::string_view bytes) = 0;
  // The system's text for the last failure of the calls above.
  virtual std::string LastErrorText() = 0;
};

}  // namespace proclens
