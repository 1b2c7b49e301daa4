// Where Windows keeps the game client's own copies of the game folder's
// files. A 32-bit program that states no execution level, run without
// administrator rights, is virtualized: its writes below Program Files,
// Windows or ProgramData that it may not make go to
// %LOCALAPPDATA%\VirtualStore\<path without its drive>, and it reads that
// copy from then on ("Registry and file virtualization", "User Account
// Control for Game Developers"). The tool, as administrator, is never
// virtualized, so it has to look there itself.
#include <windows.h>

#include <knownfolders.h>
#include <sddl.h>
#include <shlobj.h>

#include <string_view>
#include <vector>

#include "win32/elevated/elevated.h"
#include "win32/elevated/plain_file.h"
#include "win32/library_function.h"
#include "win32/text_encoder.h"

namespace vorn {
namespace {

constexpr wchar_t kGameClient[] = L"VornClient.exe";
// Used by Windows where the program has no manifest of its own.
constexpr char kExternalManifest[] = ".\\VornClient.exe.manifest";
constexpr std::size_t kMaxManifestBytes = std::size_t{1} << 20;
// The resource ID of the manifest Windows reads when it starts a program.
constexpr WORD kProgramManifestId = 1;

// The manifest's text without its comments, where Visual Studio's template
// keeps examples of the very element looked for. Element names are ASCII:
// UTF-16 keeps the low byte of each character.
std::string ManifestText(std::string_view bytes) {
  std::string text;
  const bool little = bytes.substr(0, 2) == "\xFF\xFE", big = bytes.substr(0, 2) == "\xFE\xFF";
  if (little || big) {
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      const char low = bytes[little ? i : i + 1], high = bytes[little ? i + 1 : i];
      text += high == 0 ? low : '?';
    }
  } else {
    text = bytes;
  }
  std::string uncommented;
  for (std::size_t pos = 0;;) {
    const std::size_t open = text.find("<!--", pos);
    uncommented.append(text, pos, open == std::string::npos ? std::string::npos : open - pos);
    if (open == std::string::npos) break;
    const std::size_t close = text.find("-->", open + 4);
    if (close == std::string::npos) break;
    pos = close + 3;
  }
  return uncommented;
}

bool IsNameByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '-' || c == '.';
}

// Whether a manifest states an execution level: a requestedExecutionLevel
// element, with or without a namespace prefix ("ms_asmv2:").
bool StatesExecutionLevel(std::string_view manifest) {
  const std::string text = ManifestText(manifest);
  constexpr std::string_view kElement = "requestedExecutionLevel";
  for (std::size_t at = text.find(kElement); at != std::string::npos;
       at = text.find(kElement, at + 1)) {
    std::size_t start = at;
    if (start > 0 && text[start - 1] == ':') {
      --start;
      while (start > 0 && IsNameByte(text[start - 1])) --start;
    }
    const std::size_t end = at + kElement.size();
    const char next = end < text.size() ? text[end] : '\0';
    if (start > 0 && text[start - 1] == '<' &&
        (next == ' ' || next == '\t' || next == '\r' || next == '\n' || next == '/' ||
         next == '>')) {
      return true;
    }
  }
  return false;
}

// The machine a program mapped as data is built for, read from its headers
// within the mapped view; 0 when they are not a program's.
WORD MachineOf(HMODULE program) {
  const auto* base = reinterpret_cast<const BYTE*>(reinterpret_cast<ULONG_PTR>(program) &
                                                   ~static_cast<ULONG_PTR>(3));
  MEMORY_BASIC_INFORMATION region = {};
  if (!VirtualQuery(base, &region, sizeof(region)) ||
      region.RegionSize < sizeof(IMAGE_DOS_HEADER)) {
    return 0;
  }
  IMAGE_DOS_HEADER dos;
  CopyMemory(&dos, base, sizeof(dos));
  const std::size_t headers = static_cast<std::size_t>(dos.e_lfanew);
  if (dos.e_magic != IMAGE_DOS_SIGNATURE || dos.e_lfanew < 0 ||
      headers + sizeof(DWORD) + sizeof(IMAGE_FILE_HEADER) > region.RegionSize) {
    return 0;
  }
  DWORD signature = 0;
  IMAGE_FILE_HEADER file;
  CopyMemory(&signature, base + headers, sizeof(signature));
  CopyMemory(&file, base + headers + sizeof(signature), sizeof(file));
  return signature == IMAGE_NT_SIGNATURE ? file.Machine : 0;
}

// SHGetKnownFolderPath, from shell32 loaded by full path once it is needed:
// an import would be loaded before the search is limited.
std::wstring KnownFolder(REFKNOWNFOLDERID id, HANDLE token) {
  using KnownFolderQuery = HRESULT(WINAPI*)(REFKNOWNFOLDERID, DWORD, HANDLE, PWSTR*);
  using Free = void(WINAPI*)(LPVOID);
  static const auto query =
      LibraryFunction<KnownFolderQuery>(LoadSystemLibrary(L"shell32.dll"), "SHGetKnownFolderPath");
  static const auto freeMemory =
      LibraryFunction<Free>(LoadSystemLibrary(L"ole32.dll"), "CoTaskMemFree");
  PWSTR path = nullptr;
  if (!query || !freeMemory || FAILED(query(id, KF_FLAG_DONT_VERIFY, token, &path))) return {};
  std::wstring folder = path ? path : L"";
  freeMemory(path);
  return folder;
}

std::wstring Environment(const wchar_t* name) {
  wchar_t value[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableW(name, value, ARRAYSIZE(value));
  return length > 0 && length < ARRAYSIZE(value) ? std::wstring(value, length) : std::wstring();
}

// SeDebugPrivilege, which OpenProcessToken asks for to open another
// account's token, enabled on this thread alone while the object lives.
class ThreadDebugPrivilege {
 public:
  ThreadDebugPrivilege() : impersonating_(ImpersonateSelf(SecurityImpersonation) != FALSE) {
    HANDLE token = nullptr;
    if (!impersonating_ ||
        !OpenThreadToken(GetCurrentThread(), TOKEN_ADJUST_PRIVILEGES, TRUE, &token)) {
      return;
    }
    const ScopedHandle held(token);
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueW(nullptr, SE_DEBUG_NAME, &privileges.Privileges[0].Luid)) {
      AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    }
  }
  ~ThreadDebugPrivilege() {
    if (impersonating_) RevertToSelf();
  }
  ThreadDebugPrivilege(const ThreadDebugPrivilege&) = delete;
  ThreadDebugPrivilege& operator=(const ThreadDebugPrivilege&) = delete;

 private:
  const bool impersonating_;
};

// SHGetKnownFolderPath asks for these rights on the token of another user.
HANDLE OpenTokenOf(DWORD processId) {
  const ScopedHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  HANDLE token = nullptr;
  if (!process ||
      !OpenProcessToken(process.get(), TOKEN_QUERY | TOKEN_IMPERSONATE | TOKEN_DUPLICATE, &token)) {
    return nullptr;
  }
  return token;
}

// The player: the user of the desktop's shell, who is not the account the
// tool runs as where a standard user typed an administrator's password.
// Null where there is no shell or its token cannot be had: the tool's own
// account may be another's.
ScopedHandle PlayerToken() {
  DWORD shellProcess = 0;
  const HWND shell = GetShellWindow();
  if (!shell || !GetWindowThreadProcessId(shell, &shellProcess)) return ScopedHandle(nullptr);
  ScopedHandle token(OpenTokenOf(shellProcess));
  if (!token) {
    const ThreadDebugPrivilege privilege;
    token.reset(OpenTokenOf(shellProcess));
  }
  return token;
}

// "S-1-5-21-...": the name of the user's hive below HKEY_USERS, loaded while
// the user is logged on. Empty when it cannot be had.
std::wstring UserSid(HANDLE token) {
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<BYTE> buffer(size);
  wchar_t* text = nullptr;
  if (size == 0 || !GetTokenInformation(token, TokenUser, buffer.data(), size, &size) ||
      !ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) {
    return {};
  }
  std::wstring sid = text;
  LocalFree(text);
  return sid;
}

// Whether the compatibility settings below `software` (a hive's Software
// key) run the client as administrator, under either name of the game
// folder: the one the player started from and the one it resolves to.
bool ClientRunsAsAdministrator(HKEY root, const std::wstring& software, const std::wstring& game) {
  for (const std::wstring& folder : {PlayerGameFolder(), game}) {
    const std::wstring client = JoinPath(folder, kGameClient);
    if (!client.empty() && SetToRunAsAdministrator(root, software, client)) return true;
  }
  return false;
}

std::string Utf8(const std::wstring& text) { return Win32TextEncoder().Encode(text, CP_UTF8); }

}  // namespace

bool VirtualizedClient() {
  const ScopedModule client(LoadPlainFileAsData(kGameClient));
  // 64-bit programs are never virtualized.
  if (!client || MachineOf(client.get()) != IMAGE_FILE_MACHINE_I386) return false;
  const HRSRC found =
      FindResourceW(client.get(), MAKEINTRESOURCEW(kProgramManifestId), RT_MANIFEST);
  const void* embedded = found ? LockResource(LoadResource(client.get(), found)) : nullptr;
  if (embedded) {
    return !StatesExecutionLevel(
        std::string_view(static_cast<const char*>(embedded), SizeofResource(client.get(), found)));
  }
  std::string external;
  FileFound ignored;
  ReadPlainFile(FilePlace(kExternalManifest), kMaxManifestBytes, external, ignored);
  return !StatesExecutionLevel(external);
}

bool InVirtualizedFolder(const std::wstring& folder) {
  for (const KNOWNFOLDERID* root :
       {&FOLDERID_ProgramFiles, &FOLDERID_ProgramFilesX86, &FOLDERID_ProgramFilesX64,
        &FOLDERID_Windows, &FOLDERID_ProgramData}) {
    if (InFolder(folder, KnownFolder(*root, nullptr))) return true;
  }
  // A 32-bit program on 64-bit Windows is told "Program Files (x86)" for
  // Program Files; WOW64 names the other one here.
  return InFolder(folder, Environment(L"ProgramW6432"));
}

ClientCopies GameClientCopies() {
  const std::wstring game = CurrentFolder();
  const bool onDrive = game.size() > 3 && game[1] == L':' && game[2] == L'\\';
  if (!onDrive || !VirtualizedClient() || !InVirtualizedFolder(game) || !VirtualizationEnabled() ||
      ClientRunsAsAdministrator(HKEY_LOCAL_MACHINE, L"SOFTWARE", game)) {
    return {};
  }
  // The player's own settings, in the player's hive: HKEY_CURRENT_USER is the
  // administrator's where the prompt was answered with another account.
  const ScopedHandle player = PlayerToken();
  const std::wstring sid = player ? UserSid(player.get()) : std::wstring();
  if (sid.empty()) return {FilePlace(), true};
  if (ClientRunsAsAdministrator(HKEY_USERS, sid + L"\\Software", game)) return {};
  const std::wstring profile = KnownFolder(FOLDERID_Profile, player.get());
  const std::wstring local = KnownFolder(FOLDERID_LocalAppData, player.get());
  // The profile's path is the system's; what lies below it is opened part
  // by part. A local application data folder moved elsewhere is the
  // player's own choice of path, and not followed.
  if (!InFolder(local, profile)) return {};
  return {FilePlace(Utf8(local.substr(profile.size() + 1) + L"\\VirtualStore" + game.substr(2)),
                    Utf8(profile)),
          false};
}

}  // namespace vorn
