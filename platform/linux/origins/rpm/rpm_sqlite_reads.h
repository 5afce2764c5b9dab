#pragma once
// The RPM database of Fedora and its kin is an SQLite file in write-ahead
// mode. SQLite opens such a file, even to read it, with two companions beside
// it (-shm and -wal) and leaves them there; a program that only looks must not
// write into the system's package database folder.

namespace proclens::linux_port {

// From now on SQLite reads an RPM database (a file named rpmdb.sqlite opened
// read-only) as an immutable file: no locks, no companion files, nothing
// written. The SQLite that librpm loaded is the one changed; without one
// (librpm of another database format) nothing happens. Once per process.
void ReadRpmSqliteDatabasesAsImmutable();

}  // namespace proclens::linux_port
