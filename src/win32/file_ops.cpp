// File operations on Windows. The new file is flushed before it is moved over
// the old one with a single replace-existing rename; a scanner or patcher
// holding the old file open for a moment is waited out.
#include "config/file_ops.h"

#include <windows.h>
#include <aclapi.h>

#include "win32/scoped_handle.h"
#include "win32/text_encoder.h"

namespace vorn {
namespace {

constexpr int kReplaceTries = 6;
constexpr DWORD kReplaceRetryDelayMs = 100;

bool IsTransient(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
         error == ERROR_LOCK_VIOLATION;
}

// The configuration paths are ANSI texts; widened as the A functions would.
std::wstring Wide(const std::string& path) { return Win32TextEncoder().Decode(path, CP_ACP); }

// A file moved into place keeps its own permissions, which it inherited from
// the folder: give it those of the file it replaces, so that a Vorn.cfg the
// installer opened to players stays open to them. Best effort: a file whose
// permissions cannot be read or set is saved all the same.
void CopyPermissions(const std::wstring& from, const std::wstring& to) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoW(from.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                            nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS) {
    return;
  }
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  GetSecurityDescriptorControl(descriptor, &control, &revision);
  // Inherited entries are taken from the folder again; a protected list stays protected.
  const SECURITY_INFORMATION inheritance = (control & SE_DACL_PROTECTED)
                                               ? PROTECTED_DACL_SECURITY_INFORMATION
                                               : UNPROTECTED_DACL_SECURITY_INFORMATION;
  SetNamedSecurityInfoW(const_cast<wchar_t*>(to.c_str()), SE_FILE_OBJECT,
                        DACL_SECURITY_INFORMATION | inheritance, nullptr, nullptr, dacl, nullptr);
  LocalFree(descriptor);
}

}  // namespace

const SystemError kOutOfMemory = ERROR_NOT_ENOUGH_MEMORY;

bool WriteFileDurably(const std::string& path, std::string_view bytes, SystemError& error) {
  const std::wstring file = Wide(path);
  // A stale temporary file left read-only or hidden would refuse CREATE_ALWAYS.
  SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
  ScopedHandle handle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) {
    error = GetLastError();
    return false;
  }
  DWORD written = 0;
  if (!WriteFile(handle.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
      written != bytes.size() || !FlushFileBuffers(handle.get())) {
    error = GetLastError();
    return false;
  }
  return true;
}

bool ReplaceFileAtomically(const std::string& replacement, const std::string& target,
                           SystemError& error) {
  const std::wstring from = Wide(replacement), to = Wide(target);
  // A read-only, hidden or system file refuses to be replaced; put its
  // attributes back if the replacement does not happen after all. The
  // permissions are read after that: Wine keeps "read-only" in them.
  const DWORD oldAttributes = GetFileAttributesW(to.c_str());
  SetFileAttributesW(to.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (oldAttributes != INVALID_FILE_ATTRIBUTES) CopyPermissions(to, from);
  for (int attempt = 0; attempt < kReplaceTries; ++attempt) {
    if (attempt > 0) Sleep(kReplaceRetryDelayMs);
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return true;
    }
    error = GetLastError();
    if (!IsTransient(error)) break;
  }
  if (oldAttributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesW(to.c_str(), oldAttributes);
  return false;
}

void RemoveFile(const std::string& path) { DeleteFileW(Wide(path).c_str()); }

}  // namespace vorn
