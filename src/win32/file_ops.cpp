// File operations on Windows, each on a handle checked by OpenPlainFile. The
// new file is made under a random name that cannot have been planted, given
// the old file's permissions, flushed, and renamed over the old one through
// its own handle; a scanner or patcher holding the old file open for a
// moment is waited out.
#include "config/file_ops.h"

#include <windows.h>
#include <aclapi.h>
#include <bcrypt.h>

#include <algorithm>
#include <vector>

#include "win32/plain_file.h"
#include "win32/scoped_handle.h"
#include "win32/text_encoder.h"

namespace vorn {
namespace {

constexpr int kReplaceTries = 6;
constexpr DWORD kReplaceRetryDelayMs = 100;
constexpr DWORD kReadChunk = 1 << 16;

bool IsTransient(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
         error == ERROR_LOCK_VIOLATION;
}

// The configuration paths are ANSI texts ".\Vorn.cfg", widened as the A
// functions would, and taken below the current folder.
std::wstring Relative(const std::string& path) {
  std::wstring wide = Win32TextEncoder().Decode(path, CP_ACP);
  while (wide.size() > 2 && wide[0] == L'.' && (wide[1] == L'\\' || wide[1] == L'/')) {
    wide.erase(0, 2);
  }
  return wide;
}

// Others may read and write a file the tool reads, as with fopen; none may
// rename or delete it while it is open, so the name stays the file checked.
constexpr DWORD kShareReadWrite = FILE_SHARE_READ | FILE_SHARE_WRITE;

bool SetAttributes(HANDLE file, DWORD attributes) {
  FILE_BASIC_INFO info = {};  // times of 0 are left as they are
  info.FileAttributes = attributes;
  return SetFileInformationByHandle(file, FileBasicInfo, &info, sizeof(info)) != FALSE;
}

void DeleteByHandle(HANDLE file) {
  FILE_DISPOSITION_INFO disposition = {TRUE};
  SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof(disposition));
}

// Renames the open file within its own folder, replacing what stands there
// under that name (a link planted there is replaced, never followed).
bool RenameByHandle(HANDLE file, const std::wstring& name) {
  std::vector<BYTE> buffer(sizeof(FILE_RENAME_INFO) + name.size() * sizeof(wchar_t));
  auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  rename->ReplaceIfExists = TRUE;
  rename->RootDirectory = nullptr;
  rename->FileNameLength = static_cast<DWORD>(name.size() * sizeof(wchar_t));
  CopyMemory(rename->FileName, name.c_str(), (name.size() + 1) * sizeof(wchar_t));
  return SetFileInformationByHandle(file, FileRenameInfo, rename,
                                    static_cast<DWORD>(buffer.size())) != FALSE;
}

// ".<16 hex digits>.tmp" from the system's random source: no one can plant
// a link under the name beforehand.
bool RandomSuffix(std::wstring& suffix, DWORD& error) {
  unsigned char bytes[8];
  const NTSTATUS status =
      BCryptGenRandom(nullptr, bytes, sizeof(bytes), BCRYPT_USE_SYSTEM_PREFERRED_RNG);
  if (status < 0) {
    error = ERROR_GEN_FAILURE;
    return false;
  }
  static constexpr wchar_t kHex[] = L"0123456789abcdef";
  suffix = L".";
  for (unsigned char b : bytes) {
    suffix += kHex[b >> 4];
    suffix += kHex[b & 15];
  }
  suffix += L".tmp";
  return true;
}

// The old file's access list, read on its checked handle, to be put on the
// new file: a Vorn.cfg that the installer opened to players stays open to
// them. Inherited entries are taken from the folder again; a protected list
// stays protected.
class Permissions {
 public:
  Permissions() = default;
  Permissions(const Permissions&) = delete;
  Permissions& operator=(const Permissions&) = delete;
  ~Permissions() {
    if (descriptor_) LocalFree(descriptor_);
  }

  void ReadFrom(HANDLE file) {
    if (GetSecurityInfo(file, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl_,
                        nullptr, &descriptor_) != ERROR_SUCCESS) {
      descriptor_ = nullptr;
      dacl_ = nullptr;
    }
  }

  // Best effort: a file whose permissions cannot be set is saved all the same.
  void ApplyTo(HANDLE file) const {
    if (!descriptor_) return;
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControl(descriptor_, &control, &revision);
    const SECURITY_INFORMATION inheritance = (control & SE_DACL_PROTECTED)
                                                 ? PROTECTED_DACL_SECURITY_INFORMATION
                                                 : UNPROTECTED_DACL_SECURITY_INFORMATION;
    SetSecurityInfo(file, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION | inheritance, nullptr, nullptr,
                    dacl_, nullptr);
  }

 private:
  PSECURITY_DESCRIPTOR descriptor_ = nullptr;
  PACL dacl_ = nullptr;
};

bool WriteAll(HANDLE file, std::string_view bytes, DWORD& error) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) {
      error = GetLastError();
      return false;
    }
    bytes.remove_prefix(written);
  }
  if (!FlushFileBuffers(file)) {
    error = GetLastError();
    return false;
  }
  return true;
}

// The name without its folder part.
std::wstring NameOf(const std::wstring& relative) {
  const std::size_t slash = relative.find_last_of(L"\\/");
  return slash == std::wstring::npos ? relative : relative.substr(slash + 1);
}

}  // namespace

const SystemError kOutOfMemory = ERROR_NOT_ENOUGH_MEMORY;

FileRead ReadPlainFile(const std::string& path, std::size_t maxBytes, std::string& bytes,
                       LinkedFile& link) {
  ScopedHandle file(nullptr);
  switch (OpenPlainFile(Relative(path), GENERIC_READ, kShareReadWrite, file, link)) {
    case PlainOpen::kCannotOpen:
      return FileRead::kCannotOpen;
    case PlainOpen::kLinked:
      return FileRead::kLinked;
    case PlainOpen::kPlain:
      break;
  }
  LARGE_INTEGER size = {};
  if (!GetFileSizeEx(file.get(), &size)) return FileRead::kCannotOpen;
  if (static_cast<unsigned long long>(size.QuadPart) > maxBytes) return FileRead::kTooLarge;
  bytes.clear();
  bytes.reserve(static_cast<std::size_t>(size.QuadPart));
  // The file may grow while it is read: read to its end, never past the limit.
  std::vector<char> chunk(kReadChunk);
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), chunk.data(), kReadChunk, &got, nullptr))
      return FileRead::kCannotOpen;
    if (got == 0) return FileRead::kRead;
    if (bytes.size() + got > maxBytes) return FileRead::kTooLarge;
    bytes.append(chunk.data(), got);
  }
}

FileReplace ReplacePlainFile(const std::string& path, std::string_view bytes, SystemError& error,
                             LinkedFile& link) {
  const std::wstring target = Relative(path);
  DWORD failure = 0;

  // The old file, if there is one: it must be the name itself. A read-only,
  // hidden or system file refuses to be replaced, so its attributes are
  // cleared now and put back if the replacement does not happen after all.
  // The permissions are read after that: Wine keeps "read-only" in them.
  ScopedHandle old(nullptr);
  const PlainOpen found =
      OpenPlainFile(target, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | READ_CONTROL,
                    kShareReadWrite, old, link);
  if (found == PlainOpen::kLinked) return FileReplace::kLinked;
  DWORD oldAttributes = 0;
  Permissions permissions;
  if (found == PlainOpen::kPlain) {
    BY_HANDLE_FILE_INFORMATION info = {};
    GetFileInformationByHandle(old.get(), &info);
    oldAttributes = info.dwFileAttributes;
    SetAttributes(old.get(), FILE_ATTRIBUTE_NORMAL);
    permissions.ReadFrom(old.get());
  }
  auto putBack = [&] {
    if (found == PlainOpen::kPlain) SetAttributes(old.get(), oldAttributes);
  };

  std::wstring suffix;
  if (!RandomSuffix(suffix, failure)) {
    putBack();
    error = failure;
    return FileReplace::kFailed;
  }
  // CREATE_NEW never opens a name that exists, and with
  // FILE_FLAG_OPEN_REPARSE_POINT never follows a dangling link.
  ScopedHandle fresh(CreateFileW((target + suffix).c_str(), GENERIC_WRITE | DELETE | WRITE_DAC, 0,
                                 nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!fresh) {
    error = GetLastError();
    putBack();
    return FileReplace::kFailed;
  }
  permissions.ApplyTo(fresh.get());
  if (!WriteAll(fresh.get(), bytes, failure)) {
    error = failure;
    DeleteByHandle(fresh.get());
    putBack();
    return FileReplace::kFailed;
  }

  // Checked again just before the replace: a name added to the old file
  // since it was read makes it a linked file, left alone.
  if (found == PlainOpen::kPlain && !HasOneName(old.get(), link)) {
    DeleteByHandle(fresh.get());
    putBack();
    return FileReplace::kLinked;
  }
  // The rename cannot replace a file that is open, our own handle included.
  old.reset();
  for (int attempt = 0; attempt < kReplaceTries; ++attempt) {
    if (attempt > 0) Sleep(kReplaceRetryDelayMs);
    if (RenameByHandle(fresh.get(), NameOf(target))) return FileReplace::kReplaced;
    error = GetLastError();
    if (!IsTransient(error)) break;
  }
  DeleteByHandle(fresh.get());
  if (found == PlainOpen::kPlain) {
    LinkedFile ignored;
    if (OpenPlainFile(target, FILE_WRITE_ATTRIBUTES, kShareReadWrite, old, ignored) ==
        PlainOpen::kPlain) {
      SetAttributes(old.get(), oldAttributes);
    }
  }
  return FileReplace::kFailed;
}

}  // namespace vorn
