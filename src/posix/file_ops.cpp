// File operations on POSIX systems (the native tests): the same checks as on
// Windows, with O_NOFOLLOW for links and the link count for hard links; the
// new file is made with O_EXCL under a random name, fsynced and renamed, or
// linked into place where no file may be replaced.
#include "config/file_ops.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <random>

namespace vorn {
namespace {

// As long as a replace on Windows waits for a file held by another program.
constexpr int kReadTries = 6;
constexpr long kRetryDelayNs = 100 * 1000 * 1000;
constexpr int kTemporaryNameTries = 8;

class ScopedFd {
 public:
  explicit ScopedFd(int fd = -1) : fd_(fd) {}
  ~ScopedFd() { reset(); }
  ScopedFd(const ScopedFd&) = delete;
  ScopedFd& operator=(const ScopedFd&) = delete;
  int get() const { return fd_; }
  void reset(int fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }

 private:
  int fd_;
};

FileVersion VersionOf(const struct stat& info) {
  FileVersion version;
  version.volume = static_cast<uint64_t>(info.st_dev);
  version.index = static_cast<uint64_t>(info.st_ino);
  version.size = static_cast<uint64_t>(info.st_size);
  version.lastWrite = static_cast<uint64_t>(info.st_mtim.tv_sec) * 1000000000u +
                      static_cast<uint64_t>(info.st_mtim.tv_nsec);
  version.names = static_cast<uint32_t>(info.st_nlink);
  return version;
}

enum class Opened { kPlain, kMissing, kCannotOpen, kLinked };

Opened OpenPlain(const std::string& path, ScopedFd& fd, FileFound& found) {
  found = FileFound();
  fd.reset(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) {
    found.error = static_cast<SystemError>(errno);
    if (errno == ENOENT || errno == ENOTDIR) return Opened::kMissing;
    found.exists = true;
    if (errno != ELOOP) return Opened::kCannotOpen;
    char target[4096];
    const ssize_t length = ::readlink(path.c_str(), target, sizeof(target));
    found.link.leadsTo.assign(target, length > 0 ? static_cast<std::size_t>(length) : 0);
    return Opened::kLinked;
  }
  found.exists = true;
  struct stat info;
  if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
    found.error = static_cast<SystemError>(S_ISDIR(info.st_mode) ? EISDIR : errno);
    return Opened::kCannotOpen;
  }
  found.version = VersionOf(info);
  found.link.names = found.version.names;
  return info.st_nlink == 1 ? Opened::kPlain : Opened::kLinked;
}

std::string PathOf(const FilePlace& place) {
  return place.root.empty() ? place.path : place.root + "/" + place.path;
}

FileRead ReadOf(Opened opened) {
  switch (opened) {
    case Opened::kMissing:
      return FileRead::kMissing;
    case Opened::kCannotOpen:
      return FileRead::kUnreadable;
    case Opened::kLinked:
      return FileRead::kLinked;
    case Opened::kPlain:
      break;
  }
  return FileRead::kRead;
}

FileRead ReadOnce(const std::string& path, std::size_t maxBytes, std::string& bytes,
                  FileFound& found, std::optional<std::string_view> same) {
  ScopedFd fd;
  const FileRead opened = ReadOf(OpenPlain(path, fd, found));
  if (opened != FileRead::kRead) return opened;
  auto readSome = [&](char* into, std::size_t room) -> long long {
    for (;;) {
      const ssize_t got = ::read(fd.get(), into, room);
      if (got >= 0) return got;
      if (errno == EINTR) continue;
      found.error = static_cast<SystemError>(errno);
      return -1;
    }
  };
  return ReadToEnd(readSome, found.version.size, maxBytes, bytes, same);
}

void Pause() {
  const timespec delay = {0, kRetryDelayNs};
  nanosleep(&delay, nullptr);
}

// A new file under a random name beside `path`; another name is tried when
// one already stands there.
int CreateTemporary(const std::string& path, mode_t mode, std::string& temporary) {
  std::random_device random;
  for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof(suffix), ".%08x%08x.tmp", random(), random());
    temporary = path + suffix;
    const int fd =
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool WriteAll(int fd, const ByteSource& source) {
  const bool wrote = source([fd](std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t wrote = ::write(fd, bytes.data(), bytes.size());
      if (wrote < 0 && errno == EINTR) continue;
      if (wrote <= 0) return false;
      bytes.remove_prefix(static_cast<std::size_t>(wrote));
    }
    return true;
  });
  return wrote && ::fsync(fd) == 0;
}

bool StillAsFound(int fd, const FileVersion& expected) {
  struct stat info;
  return ::fstat(fd, &info) == 0 && VersionOf(info) == expected;
}

}  // namespace

const SystemError kOutOfMemory = ENOMEM;
const SystemError kFileKeptChanging = EBUSY;

FileRead ReadPlainFile(const FilePlace& place, std::size_t maxBytes, std::string& bytes,
                       FileFound& found, std::optional<std::string_view> same) {
  for (int attempt = 1;; ++attempt) {
    const FileRead read = ReadOnce(PathOf(place), maxBytes, bytes, found, same);
    if (read != FileRead::kUnreadable || attempt == kReadTries) return read;
    Pause();
  }
}

FileReplace ReplacePlainFile(const std::string& path, const ByteSource& bytes,
                             const FileFound& expected, SystemError& error, LinkedFile& link) {
  ScopedFd old;
  FileFound now;
  mode_t mode = 0644;
  if (expected.exists) {
    switch (OpenPlain(path, old, now)) {
      case Opened::kMissing:
        return FileReplace::kChanged;
      case Opened::kLinked:
        link = now.link;
        return FileReplace::kLinked;
      case Opened::kCannotOpen:
        error = now.error;
        return FileReplace::kFailed;
      case Opened::kPlain:
        break;
    }
    if (now.version != expected.version) return FileReplace::kChanged;
    struct stat info;
    if (::fstat(old.get(), &info) == 0) mode = info.st_mode & 07777;
  }

  std::string temporary;
  ScopedFd fresh(CreateTemporary(path, mode, temporary));
  if (fresh.get() < 0) {
    error = static_cast<SystemError>(errno);
    return FileReplace::kFailed;
  }
  ::fchmod(fresh.get(), mode);
  FileReplace result = FileReplace::kFailed;
  if (!WriteAll(fresh.get(), bytes)) {
    error = static_cast<SystemError>(errno);
  } else if (expected.exists && !StillAsFound(old.get(), expected.version)) {
    result = FileReplace::kChanged;
  } else if (expected.exists ? std::rename(temporary.c_str(), path.c_str()) == 0
                             : ::link(temporary.c_str(), path.c_str()) == 0) {
    // A file linked into place keeps its temporary name too, until here.
    if (!expected.exists) ::unlink(temporary.c_str());
    return FileReplace::kReplaced;
  } else if (errno == EEXIST) {
    result = FileReplace::kChanged;  // a file appeared where there was none
  } else {
    error = static_cast<SystemError>(errno);
  }
  ::unlink(temporary.c_str());
  return result;
}

FileRead LookAtPlainFile(const FilePlace& place, FileFound& found) {
  ScopedFd fd;
  return ReadOf(OpenPlain(PathOf(place), fd, found));
}

FileRemove RemovePlainFile(const FilePlace& place, const FileVersion& expected, SystemError& error,
                           LinkedFile& link) {
  const std::string path = PathOf(place);
  ScopedFd fd;
  FileFound now;
  switch (OpenPlain(path, fd, now)) {
    case Opened::kMissing:
      return FileRemove::kRemoved;
    case Opened::kLinked:
      link = now.link;
      return FileRemove::kLinked;
    case Opened::kCannotOpen:
      error = now.error;
      return FileRemove::kFailed;
    case Opened::kPlain:
      break;
  }
  if (now.version != expected) return FileRemove::kChanged;
  if (::unlink(path.c_str()) == 0 || errno == ENOENT) return FileRemove::kRemoved;
  error = static_cast<SystemError>(errno);
  return FileRemove::kFailed;
}

}  // namespace vorn
