// The Win32 test program. Started with --proclens-child EVENT it is instead a
// child process for the tests: it signals the named event once it runs and
// then waits to be ended, so that tests can look at a live process of a known file.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

#include "platform/win32/win32_api.h"

namespace {

int RunAsChild(const char* event_name) {
  HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, event_name);
  if (!ready) return 3;
  SetEvent(ready);
  CloseHandle(ready);
  Sleep(120000);  // the test ends the child long before this
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--proclens-child") == 0) return RunAsChild(argv[2]);
  testing::InitGoogleMock(&argc, argv);
  return RUN_ALL_TESTS();
}
