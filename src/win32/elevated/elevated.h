// What the elevated tool does with the game folder and the loader, in one
// place. The tool runs as administrator in a folder that players can often
// write, so that folder is trusted for nothing:
// - No library is looked for by a bare name, and none of the game folder's
//   runs: the search is limited to the system folder before anything else
//   loads, the libraries Windows' own DLLs ask for by name are loaded from
//   there first, the common controls are loaded at run time (never imported)
//   while "VornOption.exe.local" is held, and the resource library is
//   mapped as data only, from the file that was checked.
// - No name in the game folder is followed: each part of a path is opened
//   inside the folder opened before it, a link or a file of several names is
//   refused, and the file is then used only through the handle that was
//   checked (plain_file.h).
// - The configuration is replaced only while it is the file that was read:
//   written under a name nobody can plant, flushed, given the old file's
//   owner and permissions and renamed over it in one step (the file
//   operations of config/file_ops.h, in file_ops.cpp).
// - No server reached through the folder may act as the administrator.
#pragma once

#include <windows.h>

#include <string>

#include "config/file_ops.h"
#include "win32/scoped_handle.h"

namespace vorn {

// ---- Start-up, in this order ----------------------------------------------

// Drops the program's folder and the current folder from the DLL search
// path. False where Windows lacks SetDefaultDllDirectories (Windows 7 SP1
// without KB2533623): there the program's folder stays first for every
// library loaded by name later, Windows' own DLLs' loads included, and no
// list of preloads covers that, so the tool does not start.
bool RestrictLibrarySearchPath();
// Tests make SetDefaultDllDirectories missing, as it is there.
void HideSearchFunctionForTesting(bool hidden);

// One tool per program: a second start of the same VornOption.exe while the
// first runs brings the first one's window to the front and ends, reading
// and writing nothing; the tools of two game folders are two programs.
// "Runs" is a named object, which Windows removes as its process ends, a
// crash included, made in a private namespace only administrators can make;
// where there is none (Wine), a name anyone could make first, trusted only
// when the process it names is this program.
class ToolClaim {
 public:
  // Claims this program's name, or finds the running VornOption holding it.
  ToolClaim();
  ~ToolClaim();
  ToolClaim(const ToolClaim&) = delete;
  ToolClaim& operator=(const ToolClaim&) = delete;

  bool HeldByAnother() const { return static_cast<bool>(holder_); }
  // The holder's window to the front, restored if minimized.
  void BringHolderForward() const;

 private:
  void TrustHolder(DWORD process, const std::wstring& program);

  HANDLE namespace_ = nullptr;
  ScopedHandle claim_{nullptr};
  ScopedHandle holder_{nullptr};
};

// "VornOption-<hash of the path, case-folded>": the name claimed by the
// program whose image Windows names `programPath`.
std::wstring ToolClaimName(const std::wstring& programPath);

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

// Maps a file below the game folder ("rscdll\VornOptionKR.dll",
// "VornClient.exe") as data only, from the very file checked as
// OpenPlainFile checks it: its resources and headers can be read, but no
// code of it ever runs. Null when it cannot be, or is a link.
HMODULE LoadPlainFileAsData(const std::wstring& relative);

// Whether `path` lies below `folder`, without regard to case.
bool InFolder(const std::wstring& path, const std::wstring& folder);

// The full path of a loaded module (null: the program), however long.
std::wstring ModulePath(HMODULE module);

// Windows' system folder, or empty when it does not fit in MAX_PATH.
std::wstring SystemFolder();

// Loads a library from the system folder by its full path; the libraries it
// needs are looked for in the system folder only.
HMODULE LoadSystemLibrary(const wchar_t* name);

// Loads from the system folder, by full path, the libraries that Windows'
// own DLLs (the common controls, user32, Direct3D 9) ask for by bare name,
// so that such a request finds them loaded, also where the search cannot be
// limited (Windows 7 without KB2533623).
void LoadLibrariesAskedForByName();

// An activation context made from one of the program's own manifests
// (resource `manifestId`), active on this thread while the object lives: the
// windows the thread makes meanwhile use the assemblies it names.
class ProgramManifest {
 public:
  explicit ProgramManifest(UINT manifestId);
  ~ProgramManifest();
  ProgramManifest(const ProgramManifest&) = delete;
  ProgramManifest& operator=(const ProgramManifest&) = delete;
  bool Active() const { return cookie_ != 0; }

 private:
  HANDLE context_ = INVALID_HANDLE_VALUE;
  ULONG_PTR cookie_ = 0;
};

// Loads the common controls (version 6, as the active context asks) and
// registers their window classes. Never imported: an import would be loaded, and its
// DllMain run, before the search is limited. Null when they cannot be had,
// when the activation context would take them from an assembly whose
// manifest stands outside Windows' folder (asked before anything is loaded),
// or when the library mapped does not stand there; `path` says where.
HMODULE LoadCommonControls(std::wstring& path);

// What the activation context answers for a library: no assembly redirects
// it (the search, limited to the system folder, then finds it), one does
// (`manifest` is where that assembly's manifest stands), or the answer
// cannot be had.
enum class Redirection { kNone, kToAssembly, kUnknown };
Redirection AskActivationContext(const wchar_t* dll, std::wstring& manifest);

// Tests replace the question; null puts Windows' back.
using RedirectionQuery = Redirection (*)(const wchar_t* dll, std::wstring& manifest);
void SetRedirectionQueryForTesting(RedirectionQuery query);

// "<program>.local" beside the program: Windows' side-by-side loader takes
// an assembly's libraries (the common controls) from a folder of that name
// before WinSxS, for a program with a manifest and run as administrator too.
// Wine does not look there.
//
// Holds the name itself, as a hidden file that no one else may open and
// that goes when the hold ends, so that no folder of that name can appear
// while the tool's libraries are loaded; or finds something standing there.
// With Image File Execution Options' DevOverrideEnable set, Windows takes
// every library but the known DLLs from such a folder, whatever path it is
// loaded by, at any time (the security library of each save, input methods,
// display-driver helpers): the name is held from before the first library
// loads until the process ends, when Windows lets it go, a crash included.
//
// A plain, empty, hidden file of that name that no one holds is the hold of a
// tool whose process never ended (a power cut): it is taken over. A plain
// file redirects nothing; a folder or a link stays refused.
class DotLocalHold {
 public:
  DotLocalHold();
  // False when a folder or link of that name stands beside the program, or a
  // file that is not a leftover hold or that another program holds open.
  bool Clear() const { return !standing_; }
  // "<program's full path>.local".
  const std::wstring& Path() const { return path_; }

 private:
  std::wstring path_;
  ScopedHandle held_{nullptr};
  bool standing_ = false;
};

// "<program>.config" or "<program>.manifest" beside the program, or empty
// when neither stands there or Windows would not read it. An application
// configuration file can redirect the common controls to a version Windows
// lacks, after which the side-by-side loader looks for a private copy
// beside the program; an external manifest is read instead of the embedded
// one only where PreferExternalManifest is set.
std::wstring LoaderFileBesideProgram();

// An error box captioned "Vorn" made of Windows' own controls, never the
// common controls, which a ".local" folder standing beside the program could
// otherwise supply.
void ShowErrorWithoutCommonControls(const std::wstring& text);

// ---- The probe's process --------------------------------------------------

// This program's own file, held for reading without write or delete sharing
// so that no one can rename, replace or change it while the tool starts it
// again (a player may write the game folder), and the path Windows resolves
// it to, where no junction a player made can be turned elsewhere meanwhile.
struct HeldProgramFile {
  ScopedHandle file{nullptr};
  std::wstring path;
};
// False when it cannot be held, or the file under the program's name is not
// the one this process runs.
bool HoldProgramFile(HeldProgramFile& held);

// ---- The game folder ------------------------------------------------------

// The game folder the tool works in. A player may reach it through a
// junction of their own (C:\Games\Vorn leading to D:\Vorn); an elevated
// process under Redirection Guard refuses to cross such a junction, so the
// tool works in the folder it leads to, and names files as the player knows
// them.
// Makes the current folder the path Windows resolves it to, remembering the
// one the tool was started in. Call before Redirection Guard is turned on.
void EnterResolvedGameFolder();

// The folder the tool was started in, as the player named it; empty before
// EnterResolvedGameFolder.
const std::wstring& PlayerGameFolder();

// Windows 10 22H2 and 11 can refuse, for this process, to follow junctions
// and other redirections that a user without administrator rights created:
// a second belt for the game folder.
// Looked up at run time, since Windows 7 SP1 lacks it; a refusal changes
// nothing, as every file in the game folder is checked on its handle anyway.
void EnforceRedirectionTrust();

// ---- The game client's own copies -----------------------------------------

// Windows virtualizes a 32-bit program whose manifest asks for no execution
// level, or that has none, when run without administrator rights: what it
// writes below Program Files, Windows or ProgramData where it may not goes
// to the player's VirtualStore instead, and it reads that copy from then on.
// Not where UAC or virtualization is switched off, nor for a program its
// compatibility settings run as administrator (the player's or the
// machine's).
struct ClientCopies {
  // For VornClient.exe in a game folder there, the folder its copies would
  // stand in: the player's profile folder as `root` (UTF-8), and
  // "AppData\Local\VirtualStore\<game folder without its drive>" below it,
  // for the player who runs the desktop (the administrator who approved the
  // prompt may be another account). Empty when the client reads the files
  // themselves, or when the player cannot be told.
  FilePlace place;
  // The client may read copies, but the player's account cannot be told (no
  // shell, or its token cannot be had): no profile is looked in, not even
  // the tool's own, which may be another account's.
  bool playerUnknown = false;
};
ClientCopies GameClientCopies();

// The parts of that judgement: whether the game folder's VornClient.exe is a
// program Windows would virtualize, whether a folder lies where it does,
// whether UAC and virtualization are on ("EnableLUA" and
// "EnableVirtualization" in HKLM's system policies), and whether the
// compatibility layers below `software` (HKLM's "SOFTWARE", or a user's hive
// "<SID>\Software" below HKEY_USERS) run `program` (a full path) as
// administrator ("RUNASADMIN").
bool VirtualizedClient();
bool InVirtualizedFolder(const std::wstring& folder);
bool VirtualizationEnabled();
bool SetToRunAsAdministrator(HKEY root, const std::wstring& software, const std::wstring& program);

// ---- Windows' settings ------------------------------------------------------

// A DWORD or string value below `root`\`path`, read in the registry view
// `view` (KEY_WOW64_64KEY or KEY_WOW64_32KEY); false where the key or the
// value is missing or of another type.
bool RegistryDword(HKEY root, const std::wstring& path, const wchar_t* name, REGSAM view,
                   DWORD& value);
bool RegistryString(HKEY root, const std::wstring& path, const wchar_t* name, REGSAM view,
                    std::wstring& value);

}  // namespace vorn
