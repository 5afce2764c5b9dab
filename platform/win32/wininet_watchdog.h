#pragma once
// Bounds a whole WinInet exchange. Synchronous InternetOpenUrlA and
// InternetReadFile wait for a full reply or a full buffer, and the receive
// time-outs do not reach every wait (a site that trickles its reply resets them
// with each byte), so a second thread closes the client handle when the bound
// has passed; WinInet then fails the call that is waiting, and the caller's
// thread goes on.

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/win32/win32_api.h"

#include <wininet.h>

namespace proclens::win32 {

// The client handle, closed exactly once: by its owner or by the watchdog.
class SharedInternetHandle {
 public:
  explicit SharedInternetHandle(HINTERNET handle) : handle_(handle) {}
  ~SharedInternetHandle() { Close(); }
  SharedInternetHandle(const SharedInternetHandle&) = delete;
  SharedInternetHandle& operator=(const SharedInternetHandle&) = delete;

  HINTERNET get() const { return handle_; }
  // Whether the handle was closed, which also closed the requests opened on it.
  bool closed() const;
  void Close();

 private:
  mutable std::mutex mutex_;
  HINTERNET handle_;
  bool closed_ = false;
};

class ExchangeWatchdog {
 public:
  ExchangeWatchdog(std::shared_ptr<SharedInternetHandle> client, std::chrono::milliseconds bound);
  ~ExchangeWatchdog();  // ends the watch at once
  ExchangeWatchdog(const ExchangeWatchdog&) = delete;
  ExchangeWatchdog& operator=(const ExchangeWatchdog&) = delete;

 private:
  void Watch(std::chrono::milliseconds bound);

  std::shared_ptr<SharedInternetHandle> client_;
  std::mutex mutex_;
  std::condition_variable stop_;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace proclens::win32
