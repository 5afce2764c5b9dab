#include "platform/linux/proc/fuse_questions.h"

#include <condition_variable>
#include <thread>

namespace proclens::linux_port {
namespace {

struct Answered {
  std::mutex mutex;
  std::condition_variable done;
  bool answered = false;
};

}  // namespace

FuseQuestions& FuseQuestions::OfThisProgram() {
  static FuseQuestions* shared = new FuseQuestions("/proc/self/mountinfo", kFuseAnswerWait);
  return *shared;
}

FuseQuestions::FuseQuestions(std::string mountinfo, std::chrono::milliseconds wait)
    : mounts_(std::move(mountinfo)), wait_(wait) {}

std::optional<std::string> FuseQuestions::FuseMountOf(std::string_view path) {
  const std::lock_guard lock(mutex_);
  // The mount table is a string question: no file system is asked.
  const Mount* mount = MountHolding(mounts_.Current(), path);
  if (mount == nullptr || !mount->fuse) return std::nullopt;
  return mount->mount_point;
}

bool FuseQuestions::AskedInTime(const std::string& mount, std::function<void()> work) {
  {
    const std::lock_guard lock(waiting_->mutex);
    if (waiting_->mounts.count(mount) != 0) return false;
  }
  auto answered = std::make_shared<Answered>();
  // Detached: a thread that the file system keeps waiting ends with its
  // answer, or with the program.
  std::thread([answered, work = std::move(work), waiting = waiting_, mount] {
    work();
    {
      // The same order of locks as the asker's below.
      const std::lock_guard waiting_lock(waiting->mutex);
      const std::lock_guard lock(answered->mutex);
      answered->answered = true;
      waiting->mounts.erase(mount);
    }
    answered->done.notify_all();
  }).detach();
  {
    std::unique_lock lock(answered->mutex);
    if (answered->done.wait_for(lock, wait_, [&answered] { return answered->answered; })) return true;
  }
  const std::lock_guard waiting_lock(waiting_->mutex);
  const std::lock_guard lock(answered->mutex);
  // An answer that came meanwhile is too late for this question, but the
  // next one about the mount asks anew.
  if (!answered->answered) waiting_->mounts.insert(mount);
  return false;
}

}  // namespace proclens::linux_port
