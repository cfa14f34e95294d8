#pragma once
// Every file the host reads as text (stream and exchanger tables, view scripts) is a regular file
// of bounded size, read whole: a pipe that no one writes, a device that never ends or a directory
// gets a clear message instead of a wait, an allocation failure or an empty read.
#include <cstdint>
#include <string>

// Largest text input read.
constexpr std::uint64_t MaxInputFileBytes = std::uint64_t{64} << 20;

// Reads the whole of `path` into `text`; `what` names the kind of file in a message ("a stream
// table", "a script"). False with the message for a missing, unreadable, non-regular or too large
// file.
bool ReadInputFile(const std::string& path, const char* what, std::string& text, std::string& error);

// Looks at `path` without opening it (a pipe would wait for a writer, a device may never end):
// false with "PATH is not a regular file, not WHAT (only a regular file is read)" when it exists
// and is anything but a regular file, and "cannot open PATH: REASON" when it is not there.
bool CheckRegularInput(const std::string& path, const char* what, std::string& error);
