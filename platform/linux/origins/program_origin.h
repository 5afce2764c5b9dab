#pragma once
// "What installed this file?" Linux programs carry no version resource; the
// package system, the sandbox or the image that a program came from stands in
// for it. One implementation per source (dpkg, RPM, Flatpak, Snap, AppImage),
// each in a file of its own in this folder, none knowing another; the
// ProgramOrigins chain asks them in a fixed order and the first that knows
// the file answers every question about it.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/verify_ops.h"

namespace proclens::linux_port {

// A program as the sources see it.
struct ProgramFile {
  std::string path;       // absolute, every link resolved; a sandboxed program's file on the host
  std::uint32_t pid = 0;  // the process that runs it; 0 for a file named by the user
  // Whether only root, or the user this program runs as, can change what the
  // path names (and the path it was reached by): a package database's word
  // about a path holds only then.
  bool kept = false;
};

// The file that path names, with its links resolved; nullopt when nothing of
// that name exists, with why in why_not when it is given.
std::optional<ProgramFile> ProgramFileAt(const std::string& path, std::uint32_t pid, std::string* why_not = nullptr);

// The three texts a version resource would give. A source leaves a text empty
// where it has nothing to say.
struct OriginTexts {
  std::string description;
  std::string product;
  std::string company;
};

class ProgramOrigin {
 public:
  virtual ~ProgramOrigin() = default;

  // The name of whatever installed the file (a package, an application ID,
  // a snap, an AppImage's file name), as the check sentence names it;
  // nullopt when this source did not install the file. This is the question
  // the chain asks every source in turn, so it must be cheap to answer no:
  // a source whose paths say where its programs live looks at the path first.
  virtual std::optional<std::string> InstallerOf(const ProgramFile& file) = 0;

  // The texts; asked only of the source that installed the file.
  virtual OriginTexts Describe(const ProgramFile& file, bool german) = 0;

  // The application's icon as the icon theme or GIO takes it (a theme name or
  // an absolute file path, never an address); nullopt when there is none.
  virtual std::optional<std::string> ApplicationIcon(const ProgramFile& file) = 0;

  // Whether the bytes are the ones the source installed (platform/verify_ops.h
  // states; package is filled). image is a descriptor of the bytes to check:
  // the running image for a process, the file itself otherwise; a file larger
  // than size_limit is not read (not-checked).
  virtual FileCheck Check(const ProgramFile& file, int image, std::uint64_t size_limit) = 0;

  // Starts reading, on a thread of the source's own, what its first answer
  // would otherwise wait for (a package database); the next question waits
  // for that reading to end. A source with nothing to read ahead does nothing.
  virtual void ReadAhead() {}
  // Waits until that reading has ended, so that nothing runs on when the
  // program ends.
  virtual void FinishReadAhead() {}
};

}  // namespace proclens::linux_port
