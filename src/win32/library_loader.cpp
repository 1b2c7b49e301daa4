#include "win32/library_loader.h"

#include "win32/plain_file.h"

namespace vorn {
namespace {

// A folder asked of the system, or empty when it does not fit in MAX_PATH.
template <typename Query>
std::wstring AskFolder(Query query) {
  wchar_t folder[MAX_PATH] = {};
  const UINT length = query(folder, static_cast<UINT>(ARRAYSIZE(folder)));
  return length > 0 && length < ARRAYSIZE(folder) ? std::wstring(folder, length) : std::wstring();
}

}  // namespace

void RestrictLibrarySearchPath() {
  using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
  const auto setDefaultDllDirectories =
      reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void*>(
          GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (setDefaultDllDirectories) setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  SetDllDirectoryW(L"");  // the current folder, on systems without the above
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
  if (folder.empty()) return {};
  const wchar_t last = folder.back();
  std::wstring path = folder;
  if (last != L'\\' && last != L'/') path += L'\\';
  path += name;
  return path.size() < MAX_PATH ? path : std::wstring();
}

std::wstring ResourceLibraryName(const char* regionCode, int codePage) {
  wchar_t region[32] = {};
  MultiByteToWideChar(static_cast<UINT>(codePage), 0, regionCode, -1, region, ARRAYSIZE(region));
  return std::wstring(L"rscdll\\VornOption") + region + L".dll";
}

std::wstring ResourceLibraryPath(const char* regionCode, int codePage) {
  const std::wstring folder = AskFolder([](wchar_t* buffer, UINT size) {
    return static_cast<UINT>(GetCurrentDirectoryW(size, buffer));
  });
  return JoinPath(folder, ResourceLibraryName(regionCode, codePage));
}

HMODULE LoadResourceLibrary(const char* regionCode, int codePage) {
  const std::wstring path = ResourceLibraryPath(regionCode, codePage);
  if (path.empty()) return nullptr;
  // Only the library that stands under its name in the game folder, not a
  // link to a file elsewhere. It is held open for reading without write or
  // delete sharing, and its folder without delete sharing, while it is
  // mapped, so that neither can be changed or swapped in between.
  PlainFile library;
  if (OpenPlainFile(ResourceLibraryName(regionCode, codePage), GENERIC_READ, FILE_SHARE_READ,
                    library) != PlainOpen::kPlain) {
    return nullptr;
  }
  return LoadLibraryExW(path.c_str(), nullptr,
                        LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
  const std::wstring path = JoinPath(AskFolder(&GetSystemDirectoryW), name);
  if (path.empty()) return nullptr;
  return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace vorn
