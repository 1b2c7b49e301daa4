#include "win32/plain_file.h"

#include "win32/text_encoder.h"

namespace vorn {
namespace {

// The current folder, held open from the first check to the end of the run
// without FILE_SHARE_DELETE, so that it cannot be renamed or swapped for
// another while the tool runs. Opened again at every check, before the
// previous handle is let go, in case the current folder has changed.
HANDLE CurrentFolder() {
  static ScopedHandle held(nullptr);
  held.reset(CreateFileW(L".", FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return held.get();
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

std::wstring FinalPath(HANDLE handle) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetFinalPathNameByHandleW(
        handle, &path[0], static_cast<DWORD>(path.size()), FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(length);  // too small: the answer counts the terminating zero
  }
}

std::wstring DisplayPath(const std::wstring& finalPath) {
  if (finalPath.compare(0, 8, L"\\\\?\\UNC\\") == 0) return L"\\\\" + finalPath.substr(8);
  if (finalPath.compare(0, 4, L"\\\\?\\") == 0) return finalPath.substr(4);
  return finalPath;
}

bool HasOneName(HANDLE file, LinkedFile& link) {
  BY_HANDLE_FILE_INFORMATION info = {};
  if (!GetFileInformationByHandle(file, &info)) return false;
  link.names = info.nNumberOfLinks;
  return info.nNumberOfLinks == 1;
}

PlainOpen OpenPlainFile(const std::wstring& relative, DWORD access, DWORD share, ScopedHandle& file,
                        LinkedFile& link) {
  const std::wstring folder = FinalPath(CurrentFolder());
  if (folder.empty()) return PlainOpen::kCannotOpen;
  file.reset(CreateFileW(relative.c_str(), access, share, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr));
  BY_HANDLE_FILE_INFORMATION info = {};
  if (!file || !GetFileInformationByHandle(file.get(), &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return PlainOpen::kCannotOpen;
  }
  const std::wstring final = FinalPath(file.get());
  if (final.empty()) return PlainOpen::kCannotOpen;
  link.names = info.nNumberOfLinks;
  // A drive's root ends in a backslash already ("\\?\C:\").
  const std::wstring expected =
      folder.back() == L'\\' ? folder + relative : folder + L"\\" + relative;
  if (!SamePath(final, expected)) {
    link.leadsTo = Win32TextEncoder().Encode(DisplayPath(final), CP_UTF8);
    return PlainOpen::kLinked;
  }
  return info.nNumberOfLinks == 1 ? PlainOpen::kPlain : PlainOpen::kLinked;
}

}  // namespace vorn
