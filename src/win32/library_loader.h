// Where the tool's libraries come from. The tool runs elevated from the
// game's folder, which others can write to, so no library is ever looked for
// by a bare name: each is loaded by its full path, and the search path for
// everything else is cut down to the system folder.
#pragma once

#include <windows.h>

#include <string>

namespace vorn {

// Drops the program's folder and the current folder from the DLL search
// path. Uses SetDefaultDllDirectories where Windows has it (Windows 7 SP1
// has it only with KB2533623).
void RestrictLibrarySearchPath();

// "<folder>\<name>", or empty when it does not fit in MAX_PATH: a cut path
// would name another file.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);

// "rscdll\VornOption<region>.dll", below the current folder.
std::wstring ResourceLibraryName(const char* regionCode, int codePage);

// "<current folder>\rscdll\VornOption<region>.dll", or empty when too long.
std::wstring ResourceLibraryPath(const char* regionCode, int codePage);

// Maps the region's resource library as data only: its dialogs, strings and
// icons can be used, but no code of it ever runs. Null when it cannot be
// loaded, or when it is a link or one of several names of a file.
HMODULE LoadResourceLibrary(const char* regionCode, int codePage);

// The full path of a loaded module (null: the program), however long.
std::wstring ModulePath(HMODULE module);

// Loads a library from the system folder by its full path; the libraries it
// needs are looked for in the system folder only.
HMODULE LoadSystemLibrary(const wchar_t* name);

// Loads from the system folder, by full path, the libraries that Windows'
// own DLLs (the common controls, user32, Direct3D 9) ask for by bare name,
// so that such a request finds them loaded, also where the search cannot be
// limited (Windows 7 without KB2533623).
void LoadLibrariesAskedForByName();

// Loads the common controls (version 6, as the manifest asks) and registers
// their window classes. Never imported: an import would be loaded, and its
// DllMain run, before the search is limited. Null when they cannot be had,
// or when the library mapped does not stand in Windows' folder; `path` says
// where it stood.
HMODULE LoadCommonControls(std::wstring& path);

}  // namespace vorn
