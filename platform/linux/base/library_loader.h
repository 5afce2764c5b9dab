#pragma once
// A shared library opened when it is first needed rather than with the
// program, so that commands and windows that never need it do not pay for
// loading it (and everything it links) at every start.

#include <dlfcn.h>

#include <string>

namespace proclens::linux_port {

class LibraryLoader {
 public:
  // Never closed: what the library makes may live until the program ends.
  explicit LibraryLoader(const char* soname) : soname_(soname), handle_(::dlopen(soname, RTLD_LAZY | RTLD_LOCAL)) {
    if (handle_ == nullptr) {
      const char* reason = ::dlerror();
      error_ = reason != nullptr ? reason : soname;
    }
  }

  // Points slot at the library's function of that name; a function that is
  // missing is named in error().
  template <typename Function>
  void Resolve(Function*& slot, const char* name) {
    if (handle_ == nullptr) return;
    slot = reinterpret_cast<Function*>(::dlsym(handle_, name));
    if (slot == nullptr && error_.empty()) error_ = std::string(soname_) + " has no " + name;
  }

  // Empty when the library and every function asked for were found.
  const std::string& error() const { return error_; }

 private:
  const char* soname_;
  void* handle_;
  std::string error_;
};

}  // namespace proclens::linux_port
