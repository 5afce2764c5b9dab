#pragma once
// Who can change what a path names. A package database vouches for the file
// at a path; that word holds only while nobody but root can put another file
// there, and a folder that another user can write, or rename, lets them.

#include <sys/stat.h>

#include <string>
#include <string_view>

#include "platform/linux/base/unique_fd.h"

namespace proclens::linux_port {

// Whether every folder from / down to the one that holds path is owned by
// root or by the user this program runs as, and writable by no one else. A
// sticky folder (such as /tmp) keeps each entry to its owner, so it counts as
// kept and its entries are judged by their own owners. A folder reached
// through a link counts only when the link's target is kept too. path must
// be absolute.
bool FoldersKeptByRootOrViewer(std::string_view path);
// The same with root alone: for what must be the system's word whoever asks.
bool FoldersKeptByRoot(std::string_view path);

// Whether a file (or folder) belongs to root and no one else may write it.
bool IsKeptByRoot(const struct stat& file);

// The file at path, opened (O_PATH) one name at a time without following any
// link, so that it is the file those very names lead to at this moment; an
// invalid descriptor when a name is a link, missing, or no folder.
UniqueFd OpenWithoutLinks(const std::string& path);

}  // namespace proclens::linux_port
