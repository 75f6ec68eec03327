#pragma once

#include <string>

namespace zelklib {

// True when another process of the user holds the file open for writing, or holds a lock on it
// (a POSIX record lock or a BSD flock). Our own descriptors do not count.
bool IsFileInUse(const std::string& path);

// Parts of the check, usable on their own.
bool IsOpenForWritingElsewhere(const std::string& path);
bool IsLockedElsewhere(const std::string& path);

// Reads the access mode from the text of /proc/<pid>/fdinfo/<fd> ("flags:\t0100001").
bool FdInfoSaysWritable(const std::string& fdinfo);

}  // namespace zelklib
