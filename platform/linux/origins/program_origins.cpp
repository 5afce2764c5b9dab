#include "platform/linux/origins/program_origins.h"

#include <cerrno>

#include "platform/linux/base/kept_folders.h"
#include "platform/linux/base/error_text.h"
#include "platform/linux/proc/fuse_questions.h"
#include "platform/linux/base/real_path.h"
#include "platform/linux/proc/process_root.h"

namespace proclens::linux_port {

std::optional<ProgramFile> ProgramFileAt(const std::string& path, std::uint32_t pid, std::string* why_not) {
  // A process with a root of its own names its program below that root,
  // where this side's links and folders say nothing of it; that root's own
  // sources and rules answer for it.
  if (pid != 0 && RootOfProcess(pid).own) return ProgramFile{path, pid, true};
  struct Found {
    std::optional<ProgramFile> file;
    int error = 0;
  };
  const auto found = FuseQuestions::OfThisProgram().Ask<Found>(path, [path, pid] {
    Found done;
    auto real = RealPathOf(path);
    if (!real) {
      done.error = errno;
      return done;
    }
    // Both ways to the file count: a link in a folder that another user
    // keeps may lead to a package's file now and to that user's file a
    // moment later.
    const bool kept = FoldersKeptByRootOrViewer(*real) && (*real == path || FoldersKeptByRootOrViewer(path));
    done.file = ProgramFile{std::move(*real), pid, kept};
    return done;
  });
  if (why_not != nullptr && (!found || !found->file)) *why_not = found ? ErrorText(found->error) : kUnansweringFileSystem;
  return found ? found->file : std::nullopt;
}

ProgramOrigins::ProgramOrigins(std::vector<std::unique_ptr<ProgramOrigin>> sources, SourcesForRoot other_roots)
    : sources_(std::move(sources)), other_roots_(std::move(other_roots)) {}

void ProgramOrigins::ReadAhead() {
  for (const auto& source : sources_) source->ReadAhead();
}

void ProgramOrigins::FinishReadAhead() {
  for (const auto& source : sources_) source->FinishReadAhead();
}

ProgramOrigin* ProgramOrigins::SourceOf(const ProgramFile& file) {
  if (asked_ && file.path == last_path_ && file.pid == last_pid_ && file.kept == last_kept_) return last_source_;
  last_source_ = nullptr;
  for (const auto& source : sources_) {
    if (source->InstallerOf(file)) {
      last_source_ = source.get();
      break;
    }
  }
  asked_ = true;
  last_path_ = file.path;
  last_pid_ = file.pid;
  last_kept_ = file.kept;
  return last_source_;
}

std::optional<OriginTexts> ProgramOrigins::Describe(const ProgramFile& file, bool german) {
  ProcessRoot root;
  if (ProgramOrigins* other = other_roots_.ChainOf(file, root)) {
    if (!other_roots_.Trusted(file, root)) return std::nullopt;
    return other->Describe(file, german);
  }
  ProgramOrigin* source = SourceOf(file);
  if (source == nullptr) return std::nullopt;
  return source->Describe(file, german);
}

std::optional<std::string> ProgramOrigins::ApplicationIcon(const ProgramFile& file) {
  ProcessRoot root;
  if (ProgramOrigins* other = other_roots_.ChainOf(file, root)) {
    if (!other_roots_.Trusted(file, root)) return std::nullopt;
    // A picture of that root, reached through it; a theme's name would name
    // this system's theme, not the root's.
    const auto icon = other->ApplicationIcon(file);
    if (!icon || !icon->starts_with('/')) return std::nullopt;
    return root.path + *icon;
  }
  ProgramOrigin* source = SourceOf(file);
  if (source == nullptr) return std::nullopt;
  return source->ApplicationIcon(file);
}

FileCheck ProgramOrigins::Check(const ProgramFile& file, int image, std::uint64_t size_limit) {
  ProcessRoot root;
  if (ProgramOrigins* other = other_roots_.ChainOf(file, root))
    return other_roots_.Judge(file, root, other->Check(file, image, size_limit));
  ProgramOrigin* source = SourceOf(file);
  if (source == nullptr) {
    FileCheck check;
    check.state = file_state::kNoPackage;
    return check;
  }
  return source->Check(file, image, size_limit);
}

}  // namespace proclens::linux_port
