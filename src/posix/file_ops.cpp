// File operations on POSIX systems (the native tests): the same checks as on
// Windows, with O_NOFOLLOW for links and the link count for hard links; the
// new file is made with O_EXCL under a random name, fsynced and renamed.
#include "config/file_ops.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>

namespace vorn {
namespace {

class ScopedFd {
 public:
  explicit ScopedFd(int fd) : fd_(fd) {}
  ~ScopedFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  ScopedFd(const ScopedFd&) = delete;
  ScopedFd& operator=(const ScopedFd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

enum class Opened { kPlain, kCannotOpen, kLinked };

// `fd` is the open file whenever it is not -1, also when it is refused.
Opened OpenPlain(const std::string& path, int& fd, struct stat& info, LinkedFile& link) {
  fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    if (errno != ELOOP) return Opened::kCannotOpen;
    char target[4096];
    const ssize_t length = ::readlink(path.c_str(), target, sizeof(target));
    link.leadsTo.assign(target, length > 0 ? static_cast<std::size_t>(length) : 0);
    return Opened::kLinked;
  }
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return Opened::kCannotOpen;
  link.names = static_cast<uint32_t>(info.st_nlink);
  return info.st_nlink == 1 ? Opened::kPlain : Opened::kLinked;
}

}  // namespace

const SystemError kOutOfMemory = ENOMEM;

FileRead ReadPlainFile(const std::string& path, std::size_t maxBytes, std::string& bytes,
                       LinkedFile& link) {
  int raw = -1;
  struct stat info;
  const Opened opened = OpenPlain(path, raw, info, link);
  const ScopedFd fd(raw);
  switch (opened) {
    case Opened::kCannotOpen:
      return FileRead::kCannotOpen;
    case Opened::kLinked:
      return FileRead::kLinked;
    case Opened::kPlain:
      break;
  }
  if (static_cast<unsigned long long>(info.st_size) > maxBytes) return FileRead::kTooLarge;
  bytes.clear();
  char chunk[65536];
  for (;;) {
    const ssize_t got = ::read(fd.get(), chunk, sizeof(chunk));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return FileRead::kCannotOpen;
    if (got == 0) return FileRead::kRead;
    if (bytes.size() + static_cast<std::size_t>(got) > maxBytes) return FileRead::kTooLarge;
    bytes.append(chunk, static_cast<std::size_t>(got));
  }
}

FileReplace ReplacePlainFile(const std::string& path, std::string_view bytes, SystemError& error,
                             LinkedFile& link) {
  int raw = -1;
  struct stat info;
  const Opened found = OpenPlain(path, raw, info, link);
  const ScopedFd old(raw);
  if (found == Opened::kLinked) return FileReplace::kLinked;

  std::random_device random;
  char suffix[32];
  std::snprintf(suffix, sizeof(suffix), ".%08x%08x.tmp", random(), random());
  const std::string temporary = path + suffix;
  ScopedFd fresh(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                        found == Opened::kPlain ? (info.st_mode & 07777) : 0644));
  if (fresh.get() < 0) {
    error = static_cast<SystemError>(errno);
    return FileReplace::kFailed;
  }
  if (found == Opened::kPlain) ::fchmod(fresh.get(), info.st_mode & 07777);
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t wrote = ::write(fresh.get(), bytes.data() + done, bytes.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) break;
    done += static_cast<std::size_t>(wrote);
  }
  FileReplace result = FileReplace::kFailed;
  if (done != bytes.size() || ::fsync(fresh.get()) != 0) {
    error = static_cast<SystemError>(errno);
  } else if (found == Opened::kPlain && (::fstat(old.get(), &info) != 0 || info.st_nlink != 1)) {
    link.names = static_cast<uint32_t>(info.st_nlink);
    result = FileReplace::kLinked;
  } else if (std::rename(temporary.c_str(), path.c_str()) == 0) {
    return FileReplace::kReplaced;
  } else {
    error = static_cast<SystemError>(errno);
  }
  ::unlink(temporary.c_str());
  return result;
}

}  // namespace vorn
