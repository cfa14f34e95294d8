#pragma once
// What every writer of a file asks before it replaces one: whether the file is one the run reads
// (the case it has open, the script it runs, a table it was given), and whether it is
// write-protected. Files are compared by device and inode, so a symbolic link to one of them or a
// hard link of it is the same file, whatever its name.
#include <string>

// Whether the two paths name one existing file.
bool IsSameFile(const std::string& a, const std::string& b);

// Keeps the file at `path` (the file it names now) from being replaced by any writer of this
// process until ReleaseKeptFiles; `what` names it in the refusal ("the case the views show").
// A path that names no file keeps nothing.
void KeepFromWriters(const std::string& path, const std::string& what);
void ReleaseKeptFiles();

// An existing file that carries no write permission for anyone (which holds a privileged user as
// well), or that this process may not write.
bool IsWriteProtectedFile(const std::string& path);

// Whether a writer may replace the file at `path`: false, with the reason, when it is a kept file
// or write-protected. A path that names no file may be written.
bool MayReplaceFile(const std::string& path, std::string& reason);
