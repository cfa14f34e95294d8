#pragma once
// The temporary files of a save: "<case>.XXXXXX" beside the case, made by mkstemp. A save holds an
// exclusive lock on its own temporary file from the moment it exists until it is renamed over the
// case (or removed), so a temporary file that nobody holds is what a killed save left behind.
#include <string>

// Creates and locks a new temporary file beside `target`; answers its descriptor (and its path in
// `path`), or -1 with errno set.
int CreateSaveTemporary(const std::string& target, std::string& path);

// Removes the temporary files of earlier saves to `target` that no live process holds: regular
// files of this user named exactly "<case>.XXXXXX" (six letters or digits), empty or starting with
// the case-file magic. Anything else beside the case (a user's "<case>.tmp", a file of another
// user, one that a save is writing) is left alone. Answers the number of files removed.
int RemoveStaleSaveTemporaries(const std::string& target);
