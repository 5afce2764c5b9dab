#pragma once
// Questions about files on FUSE file systems. Such a file system is served by
// a process of its own, often a user's, which can stop answering (stopped,
// hung, or made to wait on purpose); the kernel then keeps every caller that
// asks about a file there waiting, however long. A list or a window must not
// wait with it.

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "platform/linux/proc/mount_info.h"

namespace proclens::linux_port {

// Long enough for a FUSE server that answers at all, short enough that a
// window does not seem to hang.
inline constexpr std::chrono::milliseconds kFuseAnswerWait{1000};

// Why a file could not be read when its file system did not answer.
inline constexpr char kUnansweringFileSystem[] = "its file system (FUSE) does not answer";

class FuseQuestions {
 public:
  // The mounts that this program's own paths lie on; shared by the whole
  // program and never destroyed, since a question may still be waiting for
  // its answer when the program ends.
  static FuseQuestions& OfThisProgram();

  FuseQuestions(std::string mountinfo, std::chrono::milliseconds wait);

  // question's answer. Where path lies on a FUSE mount, question is asked on a
  // thread of its own and waited for at most the wait: nullopt when no answer
  // came in time, and at once while an earlier question about that mount is
  // still unanswered. question must own everything it uses (it may run on
  // after this call returns).
  template <typename Answer>
  std::optional<Answer> Ask(std::string_view path, std::function<Answer()> question) {
    const std::optional<std::string> mount = FuseMountOf(path);
    if (!mount) return question();
    auto answer = std::make_shared<std::optional<Answer>>();
    if (!AskedInTime(*mount, [answer, question = std::move(question)] { *answer = question(); })) return std::nullopt;
    return std::move(*answer);
  }

 private:
  struct Waiting {
    std::mutex mutex;
    std::set<std::string> mounts;  // the mounts with a question still unanswered
  };

  std::optional<std::string> FuseMountOf(std::string_view path);
  bool AskedInTime(const std::string& mount, std::function<void()> work);

  std::mutex mutex_;
  MountTable mounts_;
  std::chrono::milliseconds wait_;
  std::shared_ptr<Waiting> waiting_ = std::make_shared<Waiting>();
};

}  // namespace proclens::linux_port
