#pragma once
// Files replaced whole (case files, event plans): the new bytes go to a temporary file beside the
// target, named ".<file>.kestrin-save-XXXXXX.tmp" by mkstemps (a hidden name with a prefix and
// suffix of our own, which no user gives a file of theirs: a user's "<file>.backup",
// "<file>.2026q4" or "<file>.part" is never taken for one), and are renamed over it. A save holds
// an exclusive lock on its own temporary file from the moment it exists until it is renamed over
// the target (or removed), so a temporary file that nobody holds is what a killed save left behind.
#include <cstddef>
#include <string>
#include <string_view>

// Creates and locks a new temporary file beside `target`; answers its descriptor (and its path in
// `path`), or -1 with errno set.
int CreateSaveTemporary(const std::string& target, std::string& path);

// Removes the temporary files of earlier saves to `target` that no live process holds: regular
// files of this user named exactly ".<file>.kestrin-save-XXXXXX.tmp" (six letters or digits),
// empty or starting with (a prefix of) `head`, what every file of that kind starts with. Anything
// else beside the target (a user's "<file>.tmp" or "<file>.backup", a file of another user, one
// that a save is writing) is left alone. Answers the number of files removed.
int RemoveStaleSaveTemporaries(const std::string& target, std::string_view head);

// Replaces the file at `path` by `size` bytes, atomically: a temporary file in the target's own
// directory (so the rename cannot cross file systems) is written, synced, given the target's mode
// and owner, and renamed over it; a failure leaves the file there as it was, and no other file is
// touched. A target that is a symbolic link is followed to its file (the link stays); a target
// that exists but is not a regular file is refused, and so is one that MayReplaceFile refuses (a
// file the run reads, a write-protected file). `head` is what every file of the kind starts
// with (for the removal of stale temporaries). False with the reason in `error`.
// A replacement written in pieces: Begin makes and locks the temporary file (after the checks
// ReplaceFileAtomically makes), Append and WriteAt put bytes into it, Finish syncs it and renames
// it over the target. Until Finish succeeds the target is untouched; a replacement dropped
// unfinished (or whose Finish fails) removes its temporary file. Every failure answers false with
// the reason in `error`.
class FileReplacement {
public:
    FileReplacement() = default;
    FileReplacement(FileReplacement&& other) noexcept;
    FileReplacement& operator=(FileReplacement&& other) noexcept;
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;
    ~FileReplacement() { Abandon(); }

    bool Begin(const std::string& path, std::string_view head, std::string& error);
    bool Append(const void* bytes, std::size_t size, std::string& error);
    // Overwrites bytes already appended (`offset + size` at most the bytes appended so far).
    bool WriteAt(std::size_t offset, const void* bytes, std::size_t size, std::string& error);
    bool Finish(std::string& error);
    // Removes the temporary file, leaving the target as it was.
    void Abandon();

    bool IsOpen() const { return m_fd >= 0; }
    // The temporary file while open (for reading back what was written).
    int Descriptor() const { return m_fd; }
    std::size_t Size() const { return m_size; }

private:
    int m_fd = -1;
    std::size_t m_size = 0;
    std::string m_temp;
    std::string m_target;
};

bool ReplaceFileAtomically(const std::string& path, const void* bytes, std::size_t size, std::string_view head,
                           std::string& error);
