// Loads libraries as the tool does, in a process of its own, and tells by
// its exit status what it found:
// - no argument: d3d9.dll as the tool loads it; "bare": by its bare name,
//   without restricting the library search path first. 0 the system
//   folder's copy, 1 another, 2 none.
// - "asked-for-by-name NAME...": the tool's loads of the libraries Windows'
//   DLLs ask for by name. 0 each NAME is loaded from the system folder
//   after the call, 1 one is not, 3 one was loaded before it (so the check
//   would prove nothing).
#include <windows.h>

#include "win32/elevated/elevated.h"

namespace {

bool FromSystemFolder(HMODULE module, const wchar_t* name) {
  wchar_t loaded[MAX_PATH] = {}, system[MAX_PATH] = {};
  GetModuleFileNameW(module, loaded, MAX_PATH);
  GetSystemDirectoryW(system, MAX_PATH);
  return module && lstrcmpiW(loaded, vorn::JoinPath(system, name).c_str()) == 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  if (mode == L"asked-for-by-name") {
    for (int i = 2; i < argc; ++i) {
      if (GetModuleHandleW(argv[i])) return 3;
    }
    vorn::LoadLibrariesAskedForByName();
    for (int i = 2; i < argc; ++i) {
      if (!FromSystemFolder(GetModuleHandleW(argv[i]), argv[i])) return 1;
    }
    return 0;
  }
  HMODULE d3d9 = mode == L"bare" ? LoadLibraryW(L"d3d9.dll") : vorn::LoadSystemLibrary(L"d3d9.dll");
  if (!d3d9) return 2;
  return FromSystemFolder(d3d9, L"d3d9.dll") ? 0 : 1;
}
