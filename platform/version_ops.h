#pragma once
// The file version API: the size and bytes of a file's version block, and path
// queries into that block. One platform call each, so that the order of the
// lookups stays in portable code.

#include <cstddef>
#include <cstdint>
#include <string>

namespace proclens {

// What a path query found. For a string path, text is a zero-terminated narrow
// text; for any other path, data points at the value's bytes (the translation
// table is an array of 32-bit entries). Both stay valid until the block is
// released or the next query on the same VersionOps, whichever comes first.
struct VersionValue {
  const char* text = nullptr;
  const std::uint8_t* data = nullptr;
  std::uint32_t length = 0;  // bytes at data; not a reliable length for texts
};

class VersionOps {
 public:
  virtual ~VersionOps() = default;
  // The questions that follow are about the program of this process (0: a
  // file as named). Windows asks the file alone; Linux asks what installed
  // the program the process runs, inside a container's own root say.
  virtual void AskForProcess(std::uint32_t pid) { (void)pid; }
  // GetFileVersionInfoSizeA: the size of the file's version block, 0 when the
  // file has none or is not found. handle receives the value that the next
  // call takes unchanged. A name without a folder is searched for.
  virtual std::uint32_t GetFileVersionInfoSize(const std::string& file_name,
                                               std::uint32_t& handle) = 0;
  // GetFileVersionInfoA: fills buffer (size bytes) with the block; false on failure.
  virtual bool GetFileVersionInfo(const std::string& file_name, std::uint32_t handle,
                                  std::uint32_t size, std::uint8_t* buffer) = 0;
  // VerQueryValueA: false when the path does not exist in the block. Components
  // are matched without regard to case; empty components are skipped.
  // block_size bounds the walk where the platform's own call has no such bound.
  virtual bool VerQueryValue(const std::uint8_t* block, std::size_t block_size,
                             const std::string& sub_block, VersionValue& value) = 0;
};

}  // namespace proclens
