#pragma once
// A directory of one run's own in the temporary directory, for the files the run writes and reads
// while it lasts (the step it is at, a solver's log). The name is made by mkdtemp (mode 0700, a
// name nobody else holds), so another user's link, pipe or file at a fixed name in the temporary
// directory is never opened, written or removed; a file in it is opened without following links
// and made new the first time (O_CREAT | O_EXCL | O_NOFOLLOW). The files it holds and the
// directory go when the object does; nothing outside it is touched.
#include <string>
#include <vector>

class RunDirectory {
public:
    // Makes "<temporary directory>/<prefix>XXXXXX"; IsMade says whether it could.
    explicit RunDirectory(const char* prefix);
    ~RunDirectory();
    RunDirectory(const RunDirectory&) = delete;
    RunDirectory& operator=(const RunDirectory&) = delete;

    bool IsMade() const { return !m_path.empty(); }
    // The directory, or empty when it could not be made.
    const std::string& Path() const { return m_path; }
    // The path of file `name` in it (empty when the directory was not made). The file is removed
    // with the directory.
    std::string FilePath(const char* name);
    // Makes file `name` new with `text`, or replaces the text of the one this run made; false
    // when the directory was not made or the file cannot be written.
    bool WriteFile(const char* name, const std::string& text);
    // The whole text of file `name` when it is a regular file in the directory.
    bool ReadFile(const char* name, std::string& text) const;
    // Removes file `name` from the directory (nothing when there is none).
    void RemoveFile(const char* name);

private:
    void Remember(const char* name);

    std::string m_path;
    std::vector<std::string> m_names;
    std::vector<std::string> m_written;
};
