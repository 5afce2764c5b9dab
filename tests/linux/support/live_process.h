#pragma once
// Helpers for tests that start real processes: a temporary directory, a copy
// of a known program under a chosen name, and a child that is killed and
// reaped when the test ends.

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace proclens::linux_test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// /bin/sleep copied to dir/name and padded with zeros to exactly `size` bytes
// (the program still runs), so that its size text is known in advance.
std::filesystem::path CopySleep(const std::filesystem::path& dir, const std::string& name,
                                std::uintmax_t size);

class Child {
 public:
  // Runs program with argv (argv[0] included) and returns once it has exec'd.
  Child(const std::string& program, const std::vector<std::string>& argv);
  ~Child();
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  pid_t pid() const { return pid_; }
  // Kills the child and leaves it a zombie (not reaped).
  void KillWithoutReaping();
  // Kills and reaps it: its pid names no process afterwards.
  void KillAndReap();

 private:
  pid_t pid_ = -1;
  bool reaped_ = false;
};

// A "sleep 600" child of the given program.
inline std::vector<std::string> SleepArgs(const std::string& argv0) { return {argv0, "600"}; }

// Runs work in a forked child that has dropped to the user nobody, with
// LC_ALL set to locale; returns what work returned. Needs root.
std::string RunAsNobody(const std::string& locale, const std::function<std::string()>& work);

}  // namespace proclens::linux_test
