// The read of a whole file that the POSIX and the Windows file layers share.
#include <algorithm>
#include <cstring>

#include "config/file_ops.h"

namespace vorn {
namespace {

constexpr std::size_t kChunkBytes = std::size_t{1} << 16;

}  // namespace

FileRead ReadToEnd(const ReadSome& readSome, uint64_t size, std::size_t maxBytes,
                   std::string& bytes, std::optional<std::string_view> same) {
  bytes.clear();
  if (size > maxBytes) return FileRead::kTooLarge;
  char chunk[kChunkBytes];
  std::size_t done = 0;
  if (same && same->size() == size) {
    // Compared a chunk at a time: an unchanged file costs no buffer of its size.
    for (;;) {
      const long long got = readSome(chunk, sizeof(chunk));
      if (got < 0) return FileRead::kUnreadable;
      if (got == 0 && done == same->size()) return FileRead::kUnchanged;
      const std::size_t count = static_cast<std::size_t>(got);
      if (got > 0 && done + count <= same->size() &&
          std::memcmp(chunk, same->data() + done, count) == 0) {
        done += count;
        continue;
      }
      // Different after all: what matched, then the rest read as any file.
      if (done + count > maxBytes) return FileRead::kTooLarge;
      bytes.reserve(std::max(same->size(), done + count));
      bytes.assign(same->data(), done);
      bytes.append(chunk, count);
      done += count;
      if (got == 0) return FileRead::kRead;
      break;
    }
  }
  // Straight into place, then on to the end: the file may grow while it is
  // read, never past the limit.
  bytes.resize(std::max(static_cast<std::size_t>(size), done));
  for (;;) {
    const bool inPlace = done < bytes.size();
    char* into = inPlace ? &bytes[done] : chunk;
    const std::size_t room = inPlace ? bytes.size() - done : sizeof(chunk);
    const long long got = readSome(into, room);
    if (got < 0) return FileRead::kUnreadable;
    if (got == 0) {
      bytes.resize(done);
      return FileRead::kRead;
    }
    const std::size_t count = static_cast<std::size_t>(got);
    if (done + count > maxBytes) return FileRead::kTooLarge;
    if (!inPlace) bytes.append(chunk, count);
    done += count;
  }
}

}  // namespace vorn
