#include "win32/elevated/elevated.h"

#include <commctrl.h>

#include <vector>

#include "win32/elevated/plain_file.h"
#include "win32/library_function.h"

namespace vorn {
namespace {

// A folder of Windows' own, or empty when it does not fit in MAX_PATH.
std::wstring AskFolder(UINT(WINAPI* query)(LPWSTR, UINT)) {
  wchar_t folder[MAX_PATH] = {};
  const UINT length = query(folder, ARRAYSIZE(folder));
  return length > 0 && length < ARRAYSIZE(folder) ? std::wstring(folder, length) : std::wstring();
}

// Asked for by name by Windows' own DLLs: the common controls load uxtheme
// (visual styles), dwmapi and msimg32 (alpha blending), as Wine's do too
// (+loaddll); advapi32 on Windows 7 takes its random numbers from cryptbase;
// version is the other name the start-ups of installers that run from a
// Downloads folder (NSIS, 7-Zip's DllSecur) load first for the same reason.
constexpr const wchar_t* kAskedForByName[] = {L"uxtheme.dll", L"dwmapi.dll", L"msimg32.dll",
                                              L"version.dll", L"cryptbase.dll"};

RedirectionQuery g_redirectionQuery = nullptr;
bool g_searchFunctionHidden = false;

}  // namespace

bool InFolder(const std::wstring& path, const std::wstring& folder) {
  return !folder.empty() && path.size() > folder.size() + 1 && path[folder.size()] == L'\\' &&
         CompareStringOrdinal(path.c_str(), static_cast<int>(folder.size()), folder.c_str(),
                              static_cast<int>(folder.size()), TRUE) == CSTR_EQUAL;
}

std::wstring ModulePath(HMODULE module) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(module, &path[0], static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);  // cut: ask again with more room
  }
}

bool RestrictLibrarySearchPath() {
  using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
  const auto setDefaultDllDirectories =
      g_searchFunctionHidden ? nullptr
                             : LibraryFunction<SetDefaultDllDirectoriesFunction>(
                                   GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
  SetDllDirectoryW(L"");  // the current folder, on systems without the above
  return setDefaultDllDirectories && setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

void HideSearchFunctionForTesting(bool hidden) { g_searchFunctionHidden = hidden; }

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
  return JoinPath(CurrentFolder(), ResourceLibraryName(regionCode, codePage));
}

HMODULE LoadResourceLibrary(const char* regionCode, int codePage) {
  return LoadPlainFileAsData(ResourceLibraryName(regionCode, codePage));
}

HMODULE LoadPlainFileAsData(const std::wstring& relative) {
  const std::wstring path = JoinPath(CurrentFolder(), relative);
  if (path.empty()) return nullptr;
  // Only the file that stands under its name in the game folder, not a link
  // to a file elsewhere. It is held open for reading without write or delete
  // sharing, and its folder without delete sharing, while it is mapped, so
  // that neither can be changed or swapped in between.
  PlainFile file;
  if (OpenPlainFile(relative, kOpenToRead, FILE_SHARE_READ, file) != PlainOpen::kPlain) {
    return nullptr;
  }
  const HMODULE module = LoadLibraryExW(path.c_str(), nullptr,
                                        LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (module && !IsMappingOf(module, file.file.get())) {
    FreeLibrary(module);
    return nullptr;
  }
  return module;
}

std::wstring SystemFolder() { return AskFolder(&GetSystemDirectoryW); }

HMODULE LoadSystemLibrary(const wchar_t* name) {
  const std::wstring path = JoinPath(SystemFolder(), name);
  if (path.empty()) return nullptr;
  const HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  // Windows 7 without KB2533623 knows no such flag; there the library's own
  // folder, the system folder, comes first, and the current folder is gone
  // from the search already.
  if (module || GetLastError() != ERROR_INVALID_PARAMETER) return module;
  return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

Redirection AskActivationContext(const wchar_t* dll, std::wstring& manifest) {
  ACTCTX_SECTION_KEYED_DATA data = {};
  data.cbSize = sizeof(data);
  if (!FindActCtxSectionStringW(FIND_ACTCTX_SECTION_KEY_RETURN_HACTCTX, nullptr,
                                ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, dll, &data)) {
    return GetLastError() == ERROR_SXS_KEY_NOT_FOUND ? Redirection::kNone : Redirection::kUnknown;
  }
  SIZE_T size = 0;
  QueryActCtxW(0, data.hActCtx, &data.ulAssemblyRosterIndex,
               AssemblyDetailedInformationInActivationContext, nullptr, 0, &size);
  std::vector<BYTE> buffer(size);
  const bool answered =
      size >= sizeof(ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION) &&
      QueryActCtxW(0, data.hActCtx, &data.ulAssemblyRosterIndex,
                   AssemblyDetailedInformationInActivationContext, buffer.data(), size, &size);
  ReleaseActCtx(data.hActCtx);
  const auto* assembly =
      reinterpret_cast<const ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION*>(buffer.data());
  if (!answered || !assembly->lpAssemblyManifestPath) return Redirection::kUnknown;
  manifest.assign(assembly->lpAssemblyManifestPath,
                  assembly->ulManifestPathLength / sizeof(wchar_t));
  return Redirection::kToAssembly;
}

void SetRedirectionQueryForTesting(RedirectionQuery query) { g_redirectionQuery = query; }

void LoadLibrariesAskedForByName() {
  // Kept loaded for the life of the process, as they would be anyway.
  for (const wchar_t* name : kAskedForByName) LoadSystemLibrary(name);
}

ProgramManifest::ProgramManifest(UINT manifestId) {
  const std::wstring program = ModulePath(nullptr);
  ACTCTXW manifest = {};
  manifest.cbSize = sizeof(manifest);
  manifest.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
  manifest.lpSource = program.c_str();
  manifest.hModule = GetModuleHandleW(nullptr);
  manifest.lpResourceName = MAKEINTRESOURCEW(manifestId);
  context_ = CreateActCtxW(&manifest);
  if (context_ != INVALID_HANDLE_VALUE && !ActivateActCtx(context_, &cookie_)) cookie_ = 0;
}

ProgramManifest::~ProgramManifest() {
  if (cookie_) DeactivateActCtx(0, cookie_);
  if (context_ != INVALID_HANDLE_VALUE) ReleaseActCtx(context_);
}

HMODULE LoadCommonControls(std::wstring& path) {
  // Judged before it loads, since loading runs its code: the assembly the
  // manifest names must come from Windows' own side-by-side store, not from
  // a private copy beside the program.
  const RedirectionQuery ask = g_redirectionQuery ? g_redirectionQuery : &AskActivationContext;
  switch (ask(L"comctl32.dll", path)) {
    case Redirection::kToAssembly:
      if (!InFolder(path, AskFolder(&GetSystemWindowsDirectoryW))) return nullptr;
      break;
    case Redirection::kNone:
      break;
    case Redirection::kUnknown:
      path = L"comctl32.dll";
      return nullptr;
  }
  // By name: the active context maps it to that assembly.
  const HMODULE module = LoadLibraryW(L"comctl32.dll");
  if (!module) return nullptr;
  path = ModulePath(module);
  if (!InFolder(path, AskFolder(&GetSystemWindowsDirectoryW))) return nullptr;
  using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  const auto init = LibraryFunction<InitFunction>(module, "InitCommonControlsEx");
  const INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_WIN95_CLASSES};
  return init && init(&classes) ? module : nullptr;
}

}  // namespace vorn
