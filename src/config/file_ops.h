// The file operations on the game folder, whose safe form differs between
// systems. The tool runs as administrator in a folder that others may write,
// so every name is checked before anything behind it is followed, the file
// is checked again on the handle that was opened, and then used only through
// that handle. A file is replaced only while it is still the one read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace vorn {

// The system's code for why an operation failed: GetLastError() on Windows,
// errno elsewhere.
using SystemError = uint32_t;
extern const SystemError kOutOfMemory;
// Another program kept changing the file while it was being saved.
extern const SystemError kFileKeptChanging;

// A name in the game folder that is not a plain file of its own: a link to
// somewhere else, or one of several names of one file.
struct LinkedFile {
  std::string leadsTo;  // where the name leads (UTF-8), when that is known
  uint32_t names = 1;   // how many names the file has
};

// Which file a name stood for and how it was when it was read: another
// program that rewrites, replaces, links or deletes it changes one of these.
struct FileVersion {
  uint64_t volume = 0;  // the volume's serial number
  uint64_t index = 0;   // the file's 64-bit index on it
  // Where the volume gives one, the file's 128-bit ID and the 64-bit serial
  // number it goes with: ReFS can give two files the same 64-bit index.
  bool hasId128 = false;
  uint64_t id128Volume = 0, id128Low = 0, id128High = 0;
  uint64_t size = 0;
  uint64_t lastWrite = 0;
  uint32_t names = 0;

  // By the 128-bit IDs where both have one, else by the 64-bit pair, which
  // every file has: a query that failed once must not make a file another.
  bool SameFileAs(const FileVersion& other) const {
    if (hasId128 && other.hasId128) {
      return id128Volume == other.id128Volume && id128Low == other.id128Low &&
             id128High == other.id128High;
    }
    return volume == other.volume && index == other.index;
  }
  bool operator==(const FileVersion& other) const {
    return SameFileAs(other) && size == other.size && lastWrite == other.lastWrite &&
           names == other.names;
  }
  bool operator!=(const FileVersion& other) const { return !(*this == other); }
};

// What a read found under a name.
struct FileFound {
  bool exists = false;    // false only when the system says the name does not exist
  FileVersion version;    // of the file read
  LinkedFile link;        // for kLinked
  SystemError error = 0;  // for kUnreadable
};

enum class FileRead {
  kRead,
  kUnchanged,   // it holds exactly the bytes given as `same`: `bytes` is left empty
  kMissing,     // the name does not exist
  kUnreadable,  // it exists but cannot be opened or read (see FileFound::error)
  kTooLarge,    // over the limit, or growing past it while read
  kLinked,      // not read: see LinkedFile
};

// Where a file stands: below the game folder (the current folder), `path`
// in the ANSI code page as the game names it; or, with `root`, below a folder
// the system names for the player (where Windows keeps a program's own
// copies of protected files), both in UTF-8. Each part below either is
// opened as the game folder's are; `root` itself is followed.
struct FilePlace {
  FilePlace(std::string below = {}, std::string from = {})
      : root(std::move(from)), path(std::move(below)) {}
  FilePlace(const char* below) : path(below) {}
  std::string root;
  std::string path;
};

// Reads the whole file at `place` from the one handle that was checked, refusing more than
// `maxBytes`. A file that exists but cannot be read (held by a scanner or patcher, locked) is tried
// again for about as long as a replace waits before it counts as unreadable. Given `same`, a file
// of that size is compared with it a chunk at a time and copied only where it differs: a save reads
// the file again at little more than the cost of reading it.
FileRead ReadPlainFile(const FilePlace& place, std::size_t maxBytes, std::string& bytes,
                       FileFound& found, std::optional<std::string_view> same = std::nullopt);

// What stands at `place` now, without reading it: kRead for a plain file
// (`found` says which and how it is), else as ReadPlainFile answers.
FileRead LookAtPlainFile(const FilePlace& place, FileFound& found);

// The reading loop both systems' ReadPlainFile share, from an open file of `size` bytes
// (as the system gave it when opened): `readSome(into, room)` reads at most
// `room` bytes and answers how many, 0 at the end, or -1 on failure.
using ReadSome = std::function<long long(char* into, std::size_t room)>;
FileRead ReadToEnd(const ReadSome& readSome, uint64_t size, std::size_t maxBytes,
                   std::string& bytes, std::optional<std::string_view> same);

// A new file's bytes, handed to `write` in pieces; false as soon as a write
// fails (the system's reason is then the replace's error).
using WriteBytes = std::function<bool(std::string_view piece)>;
using ByteSource = std::function<bool(const WriteBytes& write)>;

enum class FileReplace {
  kReplaced,
  kFailed,
  kLinked,   // `path` is or became a link: left alone
  kChanged,  // not the file `expected` found any more: read it again
};

// Writes `bytes` to a new file of an unguessable name beside `path`, flushes
// it, gives it the old file's owner and permissions and moves it over `path`
// in one step, replacing a read-only, hidden or system file too. `path` is
// replaced only while it is the file `expected` found, and created only while
// there is none. On failure the old file stays as it was and the new one is
// deleted; a file of any other name is never opened, written or deleted.
// The new file's bytes come from `bytes` in pieces, so that no buffer need
// hold them all.
FileReplace ReplacePlainFile(const std::string& path, const ByteSource& bytes,
                             const FileFound& expected, SystemError& error, LinkedFile& link);

inline FileReplace ReplacePlainFile(const std::string& path, std::string_view bytes,
                                    const FileFound& expected, SystemError& error,
                                    LinkedFile& link) {
  return ReplacePlainFile(
      path, [bytes](const WriteBytes& write) { return write(bytes); }, expected, error, link);
}

enum class FileRemove {
  kRemoved,  // or it was gone already
  kFailed,
  kLinked,   // `place` is or became a link: left alone
  kChanged,  // not the file `expected` says any more: left alone
};

// Deletes the plain file at `place` while it is still the file `expected`
// says, through the handle that was checked; a file another program holds
// for a moment is waited out.
FileRemove RemovePlainFile(const FilePlace& place, const FileVersion& expected, SystemError& error,
                           LinkedFile& link);

}  // namespace vorn
