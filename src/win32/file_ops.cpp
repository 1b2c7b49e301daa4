// File operations on Windows. The new file is flushed before it is moved over
// the old one with a single replace-existing rename; a scanner or patcher
// holding the old file open for a moment is waited out.
#include "config/file_ops.h"

#include <windows.h>

#include "win32/scoped_handle.h"
#include "win32/system_error.h"

namespace vorn {
namespace {

constexpr int kReplaceTries = 6;
constexpr DWORD kReplaceRetryDelayMs = 100;

bool IsTransient(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
         error == ERROR_LOCK_VIOLATION;
}

}  // namespace

bool WriteFileDurably(const std::string& path, std::string_view bytes, std::string& reason) {
  ScopedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    reason = SystemErrorText(GetLastError());
    return false;
  }
  DWORD written = 0;
  if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
      written != bytes.size() || !FlushFileBuffers(file.get())) {
    reason = SystemErrorText(GetLastError());
    return false;
  }
  return true;
}

bool ReplaceFileAtomically(const std::string& replacement, const std::string& target,
                           std::string& reason) {
  // A read-only, hidden or system file refuses to be replaced; put its
  // attributes back if the replacement does not happen after all.
  const DWORD oldAttributes = GetFileAttributesA(target.c_str());
  SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
  DWORD error = ERROR_SUCCESS;
  for (int attempt = 0; attempt < kReplaceTries; ++attempt) {
    if (attempt > 0) Sleep(kReplaceRetryDelayMs);
    if (MoveFileExA(replacement.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return true;
    }
    error = GetLastError();
    if (!IsTransient(error)) break;
  }
  if (oldAttributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesA(target.c_str(), oldAttributes);
  reason = SystemErrorText(error);
  return false;
}

void RemoveFile(const std::string& path) { DeleteFileA(path.c_str()); }

}  // namespace vorn
