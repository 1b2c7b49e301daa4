#include "win32/process_check.h"

#include <windows.h>
#include <tlhelp32.h>

#include <cwchar>

#include "win32/scoped_handle.h"

namespace vorn {

// The sizes the 32-bit program hands Windows; a 64-bit test build has others.
static_assert(sizeof(void*) != 4 || sizeof(PROCESSENTRY32W) == 556, "PROCESSENTRY32W");

bool IsProcessRunning(const wchar_t* imageName) {
  ScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return false;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
       more = Process32NextW(snapshot.get(), &entry)) {
    if (_wcsicmp(entry.szExeFile, imageName) == 0) return true;
  }
  return false;
}

}  // namespace vorn
