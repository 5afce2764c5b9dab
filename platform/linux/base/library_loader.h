#pragma once
// Shared libraries opened when they are first needed rather than with the
// program, so that commands and windows that never need one do not pay for
// loading it (and everything it links) at every start. A library's table is
// a struct of pointers, one per function it is asked for, declared with
// PROCLENS_LIBRARY_TABLE and loaded once with LoadLibraryTable.

#include <dlfcn.h>

#include <cstdio>
#include <functional>
#include <initializer_list>
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

  // Points slot at the library's symbol of that name (a function, or a
  // variable's address); a symbol that is missing is named in error().
  template <typename Symbol>
  void Resolve(Symbol*& slot, const char* name) {
    if (handle_ == nullptr) return;
    slot = reinterpret_cast<Symbol*>(::dlsym(handle_, name));
    if (slot == nullptr && error_.empty()) error_ = std::string(soname_) + " has no " + name;
  }

  // Empty when the library and every symbol asked for were found.
  const std::string& error() const { return error_; }

 private:
  const char* soname_;
  void* handle_;
  std::string error_;
};

// struct NAME, with one member per name of SYMBOLS (an X-macro list), named
// and typed as the library's own, and Resolve, which points them there.
#define PROCLENS_TABLE_MEMBER(name) decltype(&::name) name = nullptr;
#define PROCLENS_TABLE_RESOLVE(name) loader.Resolve(name, #name);
#define PROCLENS_LIBRARY_TABLE(NAME, SYMBOLS)                          \
  struct NAME {                                                        \
    SYMBOLS(PROCLENS_TABLE_MEMBER)                                     \
    void Resolve(::proclens::linux_port::LibraryLoader& loader) {      \
      SYMBOLS(PROCLENS_TABLE_RESOLVE)                                  \
    }                                                                  \
  }

template <typename Table>
struct LoadedLibrary {
  Table table;
  std::string error;  // empty when the library loaded and is ready
  const Table* get() const { return error.empty() ? &table : nullptr; }
};

// The table of the first of sonames that has every symbol of it; start,
// where given, then readies the library and answers why it could not (empty
// when it could). Where lacking names what the program does without the
// library ("no HTTP client"), that and why are written to standard error in
// one line; nullptr writes nothing. Load each table once, into a
// function-local static: loaded safely, whichever thread asks first.
template <typename Table>
LoadedLibrary<Table> LoadLibraryTable(std::initializer_list<const char*> sonames, const char* lacking,
                                      const std::function<std::string(Table&)>& start = {}) {
  LoadedLibrary<Table> loaded;
  for (const char* soname : sonames) {
    LibraryLoader loader(soname);
    loaded.table = Table{};
    loaded.table.Resolve(loader);
    loaded.error = loader.error();
    if (loaded.error.empty()) break;
  }
  if (loaded.error.empty() && start) loaded.error = start(loaded.table);
  if (!loaded.error.empty() && lacking != nullptr) std::fprintf(stderr, "proclens: %s: %s\n", lacking, loaded.error.c_str());
  return loaded;
}

}  // namespace proclens::linux_port
