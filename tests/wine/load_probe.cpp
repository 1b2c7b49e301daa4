// Loads d3d9.dll as the tool does, or by its bare name with "bare", without
// restricting the library search path first, and tells by its exit status
// where the copy came from: 0 the system folder, 1 elsewhere, 2 none.
#include <windows.h>

#include "win32/elevated/elevated.h"

int wmain(int argc, wchar_t** argv) {
  const bool bare = argc > 1 && lstrcmpW(argv[1], L"bare") == 0;
  HMODULE d3d9 = bare ? LoadLibraryW(L"d3d9.dll") : vorn::LoadSystemLibrary(L"d3d9.dll");
  if (!d3d9) return 2;
  wchar_t loaded[MAX_PATH] = {}, system[MAX_PATH] = {};
  GetModuleFileNameW(d3d9, loaded, MAX_PATH);
  GetSystemDirectoryW(system, MAX_PATH);
  return lstrcmpiW(loaded, vorn::JoinPath(system, L"d3d9.dll").c_str()) == 0 ? 0 : 1;
}
