#include "win32/elevated/elevated.h"

#include <windows.h>

#include "win32/elevated/plain_file.h"
#include "win32/scoped_handle.h"

namespace vorn {
namespace {

std::wstring g_playerFolder;

}  // namespace

std::wstring CurrentFolder() {
  const DWORD size = GetCurrentDirectoryW(0, nullptr);
  if (size == 0) return {};
  std::wstring folder(size, L'\0');
  const DWORD length = GetCurrentDirectoryW(size, &folder[0]);
  if (length == 0 || length >= size) return {};
  folder.resize(length);
  return folder;
}

void EnterResolvedGameFolder() {
  g_playerFolder = CurrentFolder();
  const ScopedHandle here(CreateFileW(
      L".", FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION,
      nullptr));
  if (!here) return;
  const std::wstring resolved = DisplayPath(FinalPath(here.get()));
  // Without a drive letter (a volume the mount manager does not know) the
  // folder stays as it was.
  if (!resolved.empty() && resolved.size() < MAX_PATH - 1) SetCurrentDirectoryW(resolved.c_str());
}

const std::wstring& PlayerGameFolder() { return g_playerFolder; }

}  // namespace vorn
