#pragma once
// Every file a job writes besides a case (pictures) goes through the writer case saves use: the
// bytes go to a temporary file of our own beside the target and are renamed over it only once
// they are all on the disk. A failed write keeps the old file and says why; a symbolic link is
// followed to its file; a device, a pipe or a directory is refused, never replaced by a file.
#include <string>
#include <string_view>

// Writes `bytes` to `path`; false with "cannot write PATH: reason" in `error`. `head` is what
// every file of the kind starts with.
bool WriteOutputFile(const std::string& path, const std::string& bytes, std::string_view head, std::string& error);
