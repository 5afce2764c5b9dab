#pragma once
// Live Windows objects for the Win32 tests: a scratch directory, deep paths
// of an exact length, and child processes of a known executable file.

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/win32/win32_handles.h"

namespace proclens::win32::testing {

// The full path of the running test program.
std::wstring TestProgramPath();

// A fresh directory under the user's temporary folder, removed with all it holds.
class ScratchDirectory {
 public:
  ScratchDirectory();
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  const std::wstring& path() const { return path_; }
  // A path inside this directory, of exactly total_length characters, ending
  // in file_name; the directories on the way are created.
  std::wstring DeepFilePath(std::size_t total_length, const std::wstring& file_name) const;

 private:
  std::wstring path_;
};

// Copies a file; paths of any length.
bool CopyFileTo(const std::wstring& from, const std::wstring& to);

// A copy of the test program running in child mode, ended with the object.
class ChildProcess {
 public:
  explicit ChildProcess(const std::wstring& program);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Whether the child started and reached its main function.
  bool running() const { return running_; }
  std::uint32_t pid() const { return pid_; }

 private:
  KernelHandle process_;
  std::uint32_t pid_ = 0;
  bool running_ = false;
};

// The narrow form of a path for the ANSI operations.
std::string Narrow(const std::wstring& text);

}  // namespace proclens::win32::testing
