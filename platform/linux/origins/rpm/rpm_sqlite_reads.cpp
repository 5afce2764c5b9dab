#include "platform/linux/origins/rpm/rpm_sqlite_reads.h"

#include <dlfcn.h>
#include <sqlite3.h>

#include <cstring>
#include <mutex>
#include <string_view>

namespace proclens::linux_port {
namespace {

constexpr std::string_view kRpmDatabaseName = "/rpmdb.sqlite";

// What the wrapping file system needs of the SQLite in the process.
struct Sqlite {
  decltype(&::sqlite3_vfs_find) vfs_find = nullptr;
  decltype(&::sqlite3_vfs_register) vfs_register = nullptr;
};

// The system's file system of SQLite, which does the real work.
sqlite3_vfs* g_real = nullptr;

// A file opened through the real file system, reporting itself immutable.
struct ImmutableFile {
  sqlite3_file base;
  sqlite3_file* real;  // the real file's memory follows this struct
};

sqlite3_file* Real(sqlite3_file* file) { return reinterpret_cast<ImmutableFile*>(file)->real; }

int Close(sqlite3_file* f) { return Real(f)->pMethods->xClose(Real(f)); }
int Read(sqlite3_file* f, void* out, int n, sqlite3_int64 at) { return Real(f)->pMethods->xRead(Real(f), out, n, at); }
int Write(sqlite3_file* f, const void* in, int n, sqlite3_int64 at) {
  return Real(f)->pMethods->xWrite(Real(f), in, n, at);
}
int Truncate(sqlite3_file* f, sqlite3_int64 size) { return Real(f)->pMethods->xTruncate(Real(f), size); }
int Sync(sqlite3_file* f, int flags) { return Real(f)->pMethods->xSync(Real(f), flags); }
int FileSize(sqlite3_file* f, sqlite3_int64* size) { return Real(f)->pMethods->xFileSize(Real(f), size); }
int Lock(sqlite3_file* f, int level) { return Real(f)->pMethods->xLock(Real(f), level); }
int Unlock(sqlite3_file* f, int level) { return Real(f)->pMethods->xUnlock(Real(f), level); }
int CheckReservedLock(sqlite3_file* f, int* out) { return Real(f)->pMethods->xCheckReservedLock(Real(f), out); }
int FileControl(sqlite3_file* f, int op, void* arg) { return Real(f)->pMethods->xFileControl(Real(f), op, arg); }
int SectorSize(sqlite3_file* f) { return Real(f)->pMethods->xSectorSize(Real(f)); }
// SQLite then takes the file as one that nobody changes: it reads it without
// locks and without the write-ahead log's companions.
int DeviceCharacteristics(sqlite3_file* f) {
  return Real(f)->pMethods->xDeviceCharacteristics(Real(f)) | SQLITE_IOCAP_IMMUTABLE;
}

// Version 1: an immutable file needs no shared memory and no mapping. What a
// writer left in the write-ahead log and has not yet copied into the file is
// not seen; rpm copies it whenever it closes the database.
const sqlite3_io_methods kImmutableMethods = {
    1,           Close,      Read,    Write,   Truncate, Sync,    FileSize, Lock, Unlock, CheckReservedLock,
    FileControl, SectorSize, DeviceCharacteristics, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
};

bool IsRpmDatabaseRead(const char* name, int flags) {
  if (name == nullptr || (flags & SQLITE_OPEN_MAIN_DB) == 0 || (flags & SQLITE_OPEN_READONLY) == 0) return false;
  const std::string_view path(name);
  return path.ends_with(kRpmDatabaseName);
}

int Open(sqlite3_vfs* /*vfs*/, const char* name, sqlite3_file* file, int flags, int* out_flags) {
  if (!IsRpmDatabaseRead(name, flags)) return g_real->xOpen(g_real, name, file, flags, out_flags);
  auto* wrapped = reinterpret_cast<ImmutableFile*>(file);
  wrapped->real = reinterpret_cast<sqlite3_file*>(wrapped + 1);
  const int result = g_real->xOpen(g_real, name, wrapped->real, flags, out_flags);
  // SQLite calls xClose only on files whose methods are set.
  wrapped->base.pMethods = result == SQLITE_OK && wrapped->real->pMethods != nullptr ? &kImmutableMethods : nullptr;
  return result;
}

int Delete(sqlite3_vfs*, const char* name, int sync) { return g_real->xDelete(g_real, name, sync); }
int Access(sqlite3_vfs*, const char* name, int flags, int* out) { return g_real->xAccess(g_real, name, flags, out); }
int FullPathname(sqlite3_vfs*, const char* name, int n, char* out) { return g_real->xFullPathname(g_real, name, n, out); }
void* DlOpen(sqlite3_vfs*, const char* name) { return g_real->xDlOpen(g_real, name); }
void DlError(sqlite3_vfs*, int n, char* out) { g_real->xDlError(g_real, n, out); }
void (*DlSym(sqlite3_vfs*, void* handle, const char* name))(void) { return g_real->xDlSym(g_real, handle, name); }
void DlClose(sqlite3_vfs*, void* handle) { g_real->xDlClose(g_real, handle); }
int Randomness(sqlite3_vfs*, int n, char* out) { return g_real->xRandomness(g_real, n, out); }
int Sleep(sqlite3_vfs*, int microseconds) { return g_real->xSleep(g_real, microseconds); }
int CurrentTime(sqlite3_vfs*, double* now) { return g_real->xCurrentTime(g_real, now); }
int GetLastError(sqlite3_vfs*, int n, char* out) { return g_real->xGetLastError(g_real, n, out); }

sqlite3_vfs g_immutable_reads;

void Register() {
  // Only the SQLite already in the process, the one librpm opened.
  void* library = ::dlopen("libsqlite3.so.0", RTLD_LAZY | RTLD_NOLOAD);
  if (library == nullptr) return;
  Sqlite sqlite;
  sqlite.vfs_find = reinterpret_cast<decltype(sqlite.vfs_find)>(::dlsym(library, "sqlite3_vfs_find"));
  sqlite.vfs_register = reinterpret_cast<decltype(sqlite.vfs_register)>(::dlsym(library, "sqlite3_vfs_register"));
  if (sqlite.vfs_find == nullptr || sqlite.vfs_register == nullptr) return;
  g_real = sqlite.vfs_find(nullptr);
  if (g_real == nullptr) return;
  g_immutable_reads = sqlite3_vfs{};
  g_immutable_reads.iVersion = 1;
  g_immutable_reads.szOsFile = static_cast<int>(sizeof(ImmutableFile)) + g_real->szOsFile;
  g_immutable_reads.mxPathname = g_real->mxPathname;
  g_immutable_reads.zName = "proclens-immutable-reads";
  g_immutable_reads.xOpen = Open;
  g_immutable_reads.xDelete = Delete;
  g_immutable_reads.xAccess = Access;
  g_immutable_reads.xFullPathname = FullPathname;
  g_immutable_reads.xDlOpen = DlOpen;
  g_immutable_reads.xDlError = DlError;
  g_immutable_reads.xDlSym = DlSym;
  g_immutable_reads.xDlClose = DlClose;
  g_immutable_reads.xRandomness = Randomness;
  g_immutable_reads.xSleep = Sleep;
  g_immutable_reads.xCurrentTime = CurrentTime;
  g_immutable_reads.xGetLastError = GetLastError;
  // The default, since librpm names none when it opens its database.
  sqlite.vfs_register(&g_immutable_reads, 1);
}

}  // namespace

void ReadRpmSqliteDatabasesAsImmutable() {
  static std::once_flag once;
  std::call_once(once, Register);
}

}  // namespace proclens::linux_port
