#pragma once
// The sources of programs asked in turn (linux_platform.h's SystemOrigins
// names the system's): the first source that knows a file answers every
// question about it.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/origins/other_roots.h"
#include "platform/linux/origins/program_origin.h"

namespace proclens::linux_port {

class ProgramOrigins {
 public:
  // The sources in the order they are asked; other_roots, where given, the
  // sources of processes that see another root (see other_roots.h).
  explicit ProgramOrigins(std::vector<std::unique_ptr<ProgramOrigin>> sources, SourcesForRoot other_roots = {});

  ProgramOrigins(ProgramOrigins&&) = default;
  ProgramOrigins& operator=(ProgramOrigins&&) = default;

  // The texts of the source that installed the file; nullopt when none did.
  std::optional<OriginTexts> Describe(const ProgramFile& file, bool german);
  // The application icon that file's source gives it.
  std::optional<std::string> ApplicationIcon(const ProgramFile& file);
  // The check by the source that installed the file; no-package when none did.
  FileCheck Check(const ProgramFile& file, int image, std::uint64_t size_limit);

  // Every source starts reading ahead what its first answer needs, so that a
  // window's first click does not wait for a package database.
  void ReadAhead();
  // Waits for every source's reading ahead to end: before the program exits,
  // when exit handlers must not find a library in use on another thread.
  void FinishReadAhead();

  const OtherRoots& other_roots() const { return other_roots_; }

 private:
  // The source that installed the file, or nullptr; the last answer is kept,
  // since the texts, the icon and the check of one program follow each other.
  ProgramOrigin* SourceOf(const ProgramFile& file);

  std::vector<std::unique_ptr<ProgramOrigin>> sources_;
  OtherRoots other_roots_;
  bool asked_ = false;
  std::string last_path_;
  std::uint32_t last_pid_ = 0;
  bool last_kept_ = false;
  ProgramOrigin* last_source_ = nullptr;
};

}  // namespace proclens::linux_port
