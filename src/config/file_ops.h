// The file operations on the game folder, whose safe form differs between
// systems. The tool runs as administrator in a folder that others may write,
// so every file is opened by its name once, checked on that handle to be a
// plain file standing there itself, and then used only through the handle.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vorn {

// The system's code for why an operation failed: GetLastError() on Windows,
// errno elsewhere.
using SystemError = uint32_t;
extern const SystemError kOutOfMemory;

// A name in the game folder that is not a plain file of its own: a link to
// somewhere else, or one of several names of one file.
struct LinkedFile {
  std::string leadsTo;  // where the name leads (UTF-8), when that is elsewhere
  uint32_t names = 1;   // how many names the file has
};

enum class FileRead {
  kRead,
  kCannotOpen,  // missing, unreadable, or not a file
  kTooLarge,    // over the limit, or growing past it while read
  kLinked,      // not read: see LinkedFile
};

// Reads the whole file `path` (a name in the game folder) from the one
// handle that was checked, refusing more than `maxBytes`.
FileRead ReadPlainFile(const std::string& path, std::size_t maxBytes, std::string& bytes,
                       LinkedFile& link);

enum class FileReplace { kReplaced, kFailed, kLinked };

// Writes `bytes` to a new file of an unguessable name beside `path`, flushes
// it, gives it the old file's permissions and moves it over `path` in one
// step, replacing a read-only, hidden or system file too. A `path` that is
// or becomes a link is left alone (kLinked). On failure the old file stays
// as it was and the new one is deleted; a file of any other name is never
// opened, written or deleted.
FileReplace ReplacePlainFile(const std::string& path, std::string_view bytes, SystemError& error,
                             LinkedFile& link);

}  // namespace vorn
