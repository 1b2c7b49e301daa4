#include "win32/resource_library.h"

#include <cwchar>

namespace vorn {

HMODULE LoadResourceLibrary(const char* regionCode, int codePage) {
  wchar_t region[32] = {};
  MultiByteToWideChar(static_cast<UINT>(codePage), 0, regionCode, -1, region, ARRAYSIZE(region));
  wchar_t path[MAX_PATH] = {};
  swprintf(path, ARRAYSIZE(path), L"rscdll/VornOption%ls.dll", region);
  return LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
}

}  // namespace vorn
