// File operations on POSIX systems: fsync, then rename(2), which replaces the
// target in one step whatever its permission bits.
#include "config/file_ops.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vorn {

bool WriteFileDurably(const std::string& path, std::string_view bytes, std::string& reason) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    reason = std::strerror(errno);
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
  if (!ok) reason = std::strerror(errno);
  return ::close(fd) == 0 && ok;
}

bool ReplaceFileAtomically(const std::string& replacement, const std::string& target,
                           std::string& reason) {
  if (std::rename(replacement.c_str(), target.c_str()) == 0) return true;
  reason = std::strerror(errno);
  return false;
}

void RemoveFile(const std::string& path) { ::unlink(path.c_str()); }

}  // namespace vorn
