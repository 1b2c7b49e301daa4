// File operations on POSIX systems: fsync, then rename(2), which replaces the
// target in one step whatever its permission bits.
#include "config/file_ops.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace vorn {

const SystemError kOutOfMemory = ENOMEM;

bool WriteFileDurably(const std::string& path, std::string_view bytes, SystemError& error) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    error = static_cast<SystemError>(errno);
    return false;
  }
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) break;
    done += static_cast<std::size_t>(wrote);
  }
  const bool ok = done == bytes.size() && ::fsync(fd) == 0;
  if (!ok) error = static_cast<SystemError>(errno);
  return ::close(fd) == 0 && ok;
}

bool ReplaceFileAtomically(const std::string& replacement, const std::string& target,
                           SystemError& error) {
  struct stat old;
  if (::stat(target.c_str(), &old) == 0) ::chmod(replacement.c_str(), old.st_mode & 07777);
  if (std::rename(replacement.c_str(), target.c_str()) == 0) return true;
  error = static_cast<SystemError>(errno);
  return false;
}

void RemoveFile(const std::string& path) { ::unlink(path.c_str()); }

}  // namespace vorn
