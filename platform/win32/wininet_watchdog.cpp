#include "platform/win32/wininet_watchdog.h"

#include <utility>

namespace proclens::win32 {

bool SharedInternetHandle::closed() const {
  std::lock_guard lock(mutex_);
  return closed_;
}

void SharedInternetHandle::Close() {
  std::lock_guard lock(mutex_);
  if (closed_ || handle_ == nullptr) return;
  closed_ = true;
  ::InternetCloseHandle(handle_);
}

ExchangeWatchdog::ExchangeWatchdog(std::shared_ptr<SharedInternetHandle> client,
                                   std::chrono::milliseconds bound)
    : client_(std::move(client)), thread_([this, bound] { Watch(bound); }) {}

ExchangeWatchdog::~ExchangeWatchdog() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  stop_.notify_one();
  thread_.join();
}

void ExchangeWatchdog::Watch(std::chrono::milliseconds bound) {
  std::unique_lock lock(mutex_);
  if (stop_.wait_for(lock, bound, [this] { return stopping_; })) return;
  client_->Close();
}

}  // namespace proclens::win32
