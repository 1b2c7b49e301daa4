// The game folder's files on the real file system: only a plain file with one
// name is read or replaced, the new file never takes a name that was there
// before, and it keeps the old one's permissions. Wine follows a file
// symbolic link as Windows does but shows it as a plain file, so the links
// are made by the host's ln, and the checks rest on the final path and the
// link count that Wine does report.
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "../unit/temp_folder.h"
#include "config/file_ops.h"
#include "win32/elevated/elevated.h"
#include "win32/messages.h"
#include "win32/elevated/plain_file.h"
#include "win32/elevated/temporary_name.h"

namespace vorn {
namespace {

constexpr std::size_t kLimit = 1 << 20;
const std::wstring kStartFolder = std::filesystem::current_path().wstring();

// The host path of a Windows one, for the host's own tools.
std::string UnixPath(const std::wstring& path) {
  using Function = char*(CDECL*)(const wchar_t*);
  const auto toUnix = reinterpret_cast<Function>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!toUnix) return {};
  wchar_t full[MAX_PATH] = {};
  GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
  char* unix = toUnix(full);
  const std::string result = unix ? unix : "";
  HeapFree(GetProcessHeap(), 0, unix);
  return result;
}

// Runs one of the host's tools (Wine starts host programs too, but cannot
// wait for them: the caller waits for what the tool does).
void Host(const wchar_t* tool, const std::string& arguments) {
  std::wstring command =
      std::wstring(tool) + L" " + std::wstring(arguments.begin(), arguments.end());
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  ASSERT_TRUE(CreateProcessW(tool, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process));
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
}

template <typename Done>
bool WaitUntil(Done done) {
  for (int tries = 0; tries < 200 && !done(); ++tries) Sleep(25);
  return done();
}

// What a read finds under `name` now, as a save's re-read would.
FileFound Found(const char* name) {
  std::string bytes;
  FileFound found;
  ReadPlainFile(std::string(".\\") + name, kLimit, bytes, found);
  return found;
}

class GameFolderFiles : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    std::filesystem::create_directory("outside");
    WriteBytes("outside/secret.cfg", "secret = 1\r\n");
  }
  // Wine cannot delete a link whose target is gone: the host does.
  void TearDown() override {
    std::filesystem::current_path(folder().parent_path());
    Host(L"Z:\\bin\\rm", "-rf " + UnixPath(folder().wstring()));
    WaitUntil([&] { return !std::filesystem::exists(folder()); });
    TempFolderTest::TearDown();
  }

  // A symbolic link as a player makes one: Wine cannot, so the host's ln does.
  static void SymbolicLink(const std::wstring& target, const std::wstring& link) {
    Host(L"Z:\\bin\\ln", "-s " + UnixPath(target) + " " + UnixPath(link));
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(link); }))
        << "ln made no " << UnixPath(link);
  }
  static std::wstring Outside() {
    return std::filesystem::absolute("outside/secret.cfg").wstring();
  }
};

TEST_F(GameFolderFiles, APlainFileIsRead) {
  WriteBytes("Vorn.cfg", "a = 1\r\n");
  std::string bytes;
  FileFound found;
  EXPECT_EQ(ReadPlainFile(".\\Vorn.cfg", kLimit, bytes, found), FileRead::kRead);
  EXPECT_EQ(bytes, "a = 1\r\n");
}

TEST_F(GameFolderFiles, AFileInAGameFolderReachedThroughALinkIsRead) {
  std::filesystem::create_directory("real");
  WriteBytes("real/Vorn.cfg", "a = 1\r\n");
  SymbolicLink(std::filesystem::absolute("real").wstring(), L"game");
  ASSERT_TRUE(SetCurrentDirectoryW(L"game"));
  std::string bytes;
  FileFound found;
  EXPECT_EQ(ReadPlainFile(".\\Vorn.cfg", kLimit, bytes, found), FileRead::kRead);
  EXPECT_EQ(bytes, "a = 1\r\n");
}

// Redirection Guard would refuse to cross the player's link on every later
// open: the tool works in the folder the link leads to, and names files by
// the path the player started it in.
TEST_F(GameFolderFiles, AGameFolderReachedThroughALinkIsEnteredWhereItLeads) {
  std::filesystem::create_directory("real");
  SymbolicLink(std::filesystem::absolute("real").wstring(), L"game");
  const std::wstring started = std::filesystem::absolute("game").wstring();
  ASSERT_TRUE(SetCurrentDirectoryW(L"game"));
  EnterResolvedGameFolder();
  const std::wstring now = std::filesystem::current_path().wstring();
  const std::wstring player = PlayerGameFolder();
  const std::wstring fullPath = FullPath(".\\Vorn.cfg");
  // As a start in the folder the tests began in would leave it.
  ASSERT_TRUE(SetCurrentDirectoryW(kStartFolder.c_str()));
  EnterResolvedGameFolder();
  ASSERT_TRUE(SetCurrentDirectoryW(folder().c_str()));
  EXPECT_EQ(now, std::filesystem::absolute("real").wstring());
  EXPECT_EQ(player, started);
  EXPECT_EQ(fullPath, started + L"\\Vorn.cfg");
}

TEST_F(GameFolderFiles, ASymbolicLinkIsNotReadAndSaysWhereItLeads) {
  SymbolicLink(Outside(), L"Vorn.cfg");
  std::string bytes;
  FileFound found;
  const LinkedFile& link = found.link;
  EXPECT_EQ(ReadPlainFile(".\\Vorn.cfg", kLimit, bytes, found), FileRead::kLinked);
  EXPECT_EQ(bytes, "");
  EXPECT_NE(link.leadsTo.find("outside\\secret.cfg"), std::string::npos) << link.leadsTo;
}

TEST_F(GameFolderFiles, AHardLinkIsNotReadAndSaysHowManyNamesItHas) {
  ASSERT_TRUE(CreateHardLinkW(L"Vorn.cfg", Outside().c_str(), nullptr));
  std::string bytes;
  FileFound found;
  const LinkedFile& link = found.link;
  EXPECT_EQ(ReadPlainFile(".\\Vorn.cfg", kLimit, bytes, found), FileRead::kLinked);
  EXPECT_EQ(bytes, "");
  EXPECT_EQ(link.names, 2u);
  EXPECT_EQ(link.leadsTo, "") << "a hard link leads nowhere else";
}

TEST_F(GameFolderFiles, AFolderIsNotReadAndNotTakenForAMissingFile) {
  std::filesystem::create_directory("Vorn.cfg");
  std::string bytes;
  FileFound found;
  const DWORD started = GetTickCount();
  EXPECT_EQ(ReadPlainFile(".\\Vorn.cfg", kLimit, bytes, found), FileRead::kUnreadable);
  EXPECT_LT(GetTickCount() - started, 400u) << "a folder is not waited for as a held file is";
  EXPECT_TRUE(found.exists);
  EXPECT_EQ(found.error, static_cast<SystemError>(ERROR_DIRECTORY)) << "what stands there";
  EXPECT_EQ(ReadPlainFile(".\\None.cfg", kLimit, bytes, found), FileRead::kMissing);
  EXPECT_FALSE(found.exists);
}

struct Held {
  HANDLE file;
  DWORD milliseconds;
};

DWORD WINAPI ReleaseLater(void* parameter) {
  auto* held = static_cast<Held*>(parameter);
  Sleep(held->milliseconds);
  CloseHandle(held->file);
  delete held;
  return 0;
}

// Another program holds the file open without sharing, then lets it go.
void HoldFor(const wchar_t* name, DWORD milliseconds) {
  auto* held = new Held{
      CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr),
      milliseconds};
  ASSERT_NE(held->file, INVALID_HANDLE_VALUE);
  CloseHandle(CreateThread(nullptr, 0, &ReleaseLater, held, 0, nullptr));
}

TEST_F(GameFolderFiles, AFileHeldForAMomentIsWaitedForAndOneHeldLongerIsUnreadable) {
  WriteBytes("Vorn.cfg", "a = 1\r\n");
  std::string bytes;
  FileFound found;
  HoldFor(L"Vorn.cfg", 300);
  EXPECT_EQ(ReadPlainFile(".\\Vorn.cfg", kLimit, bytes, found), FileRead::kRead);
  EXPECT_EQ(bytes, "a = 1\r\n");
  HoldFor(L"Vorn.cfg", 2000);
  EXPECT_EQ(ReadPlainFile(".\\Vorn.cfg", kLimit, bytes, found), FileRead::kUnreadable);
  EXPECT_EQ(found.error, static_cast<SystemError>(ERROR_SHARING_VIOLATION));
  EXPECT_TRUE(found.exists);
}

TEST_F(GameFolderFiles, ALinkedFolderOnTheWayIsRefused) {
  std::filesystem::create_directory("outside/rscdll");
  WriteBytes("outside/rscdll/VornOptionKR.dll", "MZ");
  SymbolicLink(std::filesystem::absolute("outside/rscdll").wstring(), L"rscdll");
  PlainFile opened;
  EXPECT_EQ(OpenPlainFile(L"rscdll\\VornOptionKR.dll", GENERIC_READ, FILE_SHARE_READ, opened),
            PlainOpen::kLinked);
}

// A link to a folder without the library: followed, the library would be
// missing.
TEST_F(GameFolderFiles, ALinkedFolderIsRefusedBeforeItIsFollowed) {
  SymbolicLink(std::filesystem::absolute("outside").wstring(), L"rscdll");
  PlainFile opened;
  EXPECT_EQ(OpenPlainFile(L"rscdll\\VornOptionKR.dll", GENERIC_READ, FILE_SHARE_READ, opened),
            PlainOpen::kLinked);
}

// Volumes that cannot give a path with a drive letter (RAM disks, some
// user-mode file systems), or no final path at all (some SMB servers).
DWORD WINAPI NoDosPath(HANDLE file, LPWSTR path, DWORD size, DWORD flags) {
  if ((flags & VOLUME_NAME_NT) == 0) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return 0;
  }
  return GetFinalPathNameByHandleW(file, path, size, flags);
}
DWORD WINAPI NoFinalPath(HANDLE, LPWSTR, DWORD, DWORD) {
  SetLastError(ERROR_ACCESS_DENIED);
  return 0;
}

TEST_F(GameFolderFiles, WithoutADosPathTheOtherFormsOfThePathAreCompared) {
  WriteBytes("Vorn.cfg", "a = 1\r\n");
  SymbolicLink(Outside(), L"Linked.cfg");
  // The NT form names the volume's device; the path on the volume names none.
  const struct {
    FinalPathQuery query;
    const char* leadsFrom;
  } volumes[] = {{&NoDosPath, "\\Device\\"}, {&NoFinalPath, "\\"}};
  for (const auto& volume : volumes) {
    SetFinalPathQueryForTesting(volume.query);
    std::string bytes;
    FileFound found;
    EXPECT_EQ(ReadPlainFile(".\\Vorn.cfg", kLimit, bytes, found), FileRead::kRead);
    EXPECT_EQ(bytes, "a = 1\r\n");
    EXPECT_EQ(ReadPlainFile(".\\Linked.cfg", kLimit, bytes, found), FileRead::kLinked);
    const std::string& leadsTo = found.link.leadsTo;
    EXPECT_EQ(leadsTo.rfind(volume.leadsFrom, 0), 0u) << leadsTo;
    EXPECT_NE(leadsTo.find("secret.cfg"), std::string::npos) << leadsTo;
  }
  SetFinalPathQueryForTesting(nullptr);
}

// The current folder reached through the player's link, on a volume without
// a drive letter: the folder is the one the link leads to, not the link.
TEST_F(GameFolderFiles, WithoutADosPathAGameFolderReachedThroughALinkIsStillRead) {
  std::filesystem::create_directory("real");
  WriteBytes("real/Vorn.cfg", "a = 1\r\n");
  SymbolicLink(std::filesystem::absolute("real").wstring(), L"game");
  ASSERT_TRUE(SetCurrentDirectoryW(L"game"));
  for (FinalPathQuery query : {&NoDosPath, &NoFinalPath}) {
    SetFinalPathQueryForTesting(query);
    std::string bytes;
    FileFound found;
    EXPECT_EQ(ReadPlainFile(".\\Vorn.cfg", kLimit, bytes, found), FileRead::kRead)
        << found.link.leadsTo;
    EXPECT_EQ(bytes, "a = 1\r\n");
  }
  SetFinalPathQueryForTesting(nullptr);
}

TEST_F(GameFolderFiles, TheResourceLibraryIsLoadedOnlyAsAPlainFile) {
  std::filesystem::create_directory("rscdll");
  const std::wstring built = L"" VORN_DIST_DIR L"\\rscdll\\VornOptionKR.dll";
  ASSERT_TRUE(CopyFileW(built.c_str(), L"rscdll\\VornOptionKR.dll", FALSE));
  HMODULE plain = LoadResourceLibrary("KR", 949);
  EXPECT_NE(plain, nullptr);
  if (plain) FreeLibrary(plain);
  ASSERT_TRUE(CreateHardLinkW(L"outside\\VornOptionKR.dll", L"rscdll\\VornOptionKR.dll", nullptr));
  EXPECT_EQ(LoadResourceLibrary("KR", 949), nullptr) << "a second name";
}

TEST_F(GameFolderFiles, ALinkedFileIsNotReplacedAndWhereItLeadsIsUntouched) {
  WriteBytes("outside/other.cfg", "other = 1\r\n");
  SymbolicLink(Outside(), L"Vorn.cfg");
  ASSERT_TRUE(CreateHardLinkW(L"VornSafeMode.cfg", L"outside\\other.cfg", nullptr));
  for (const char* name : {".\\Vorn.cfg", ".\\VornSafeMode.cfg"}) {
    FileFound expected;
    expected.exists = true;
    SystemError error = 0;
    LinkedFile link;
    EXPECT_EQ(ReplacePlainFile(name, "a = 2\r\n", expected, error, link), FileReplace::kLinked)
        << name;
  }
  EXPECT_EQ(ReadBytes("outside/secret.cfg"), "secret = 1\r\n");
  EXPECT_EQ(ReadBytes("outside/other.cfg"), "other = 1\r\n");
  EXPECT_EQ(LeftTemporaries(), std::vector<std::string>());
}

// The temporary names a save tries, in order.
bool PlantedFirst(std::wstring& suffix, DWORD&) {
  static int next = 0;
  suffix = next++ % 2 == 0 ? L".planted" : L".dangling";
  return true;
}
bool ThenFree(std::wstring& suffix, DWORD& error) {
  static int next = 0;
  if (next++ < 2) return PlantedFirst(suffix, error);
  suffix = L".free";
  return true;
}

// Names planted where the save will try to put its new file, as a hard link
// to a file outside and as a link to nowhere: neither is opened, and the
// save takes the next name.
TEST_F(GameFolderFiles, PlantedTemporaryNamesAreNeverOpened) {
  WriteBytes("Vorn.cfg", "a = 1\r\n");
  ASSERT_TRUE(CreateHardLinkW(L"Vorn.cfg.planted", Outside().c_str(), nullptr));
  WriteBytes("outside/created.cfg", "");
  SymbolicLink(std::filesystem::absolute("outside/created.cfg").wstring(), L"Vorn.cfg.dangling");
  std::filesystem::remove("outside/created.cfg");  // the link now leads nowhere
  SetTemporarySuffixSourceForTesting(&ThenFree);
  SystemError error = 0;
  LinkedFile link;
  EXPECT_EQ(ReplacePlainFile(".\\Vorn.cfg", "a = 2\r\n", Found("Vorn.cfg"), error, link),
            FileReplace::kReplaced)
      << "error " << error;
  SetTemporarySuffixSourceForTesting(nullptr);
  EXPECT_EQ(ReadBytes("Vorn.cfg"), "a = 2\r\n");
  EXPECT_EQ(ReadBytes("outside/secret.cfg"), "secret = 1\r\n");
  EXPECT_FALSE(std::filesystem::exists("outside/created.cfg"));
  EXPECT_FALSE(std::filesystem::exists("Vorn.cfg.free")) << "renamed into place";
}

// FAT and exFAT have no reparse tags: asked for one, they fail so.
BOOL WINAPI NoReparseTags(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, LPVOID info, DWORD size) {
  if (kind == FileAttributeTagInfo) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return GetFileInformationByHandleEx(file, kind, info, size);
}

TEST_F(GameFolderFiles, OnADriveWithoutReparseTagsPlainFilesAreReadAndReplaced) {
  WriteBytes("Vorn.cfg", "a = 1\r\n");
  std::filesystem::create_directory("rscdll");
  WriteBytes("rscdll/VornOptionKR.dll", "MZ");
  SetFileInformationQueryForTesting(&NoReparseTags);
  std::string bytes;
  FileFound found;
  EXPECT_EQ(ReadPlainFile(".\\Vorn.cfg", kLimit, bytes, found), FileRead::kRead)
      << "error " << found.error;
  PlainFile library;
  EXPECT_EQ(OpenPlainFile(L"rscdll\\VornOptionKR.dll", GENERIC_READ, FILE_SHARE_READ, library),
            PlainOpen::kPlain)
      << "error " << library.error;
  SystemError error = 0;
  LinkedFile link;
  EXPECT_EQ(ReplacePlainFile(".\\Vorn.cfg", "a = 2\r\n", found, error, link),
            FileReplace::kReplaced)
      << "error " << error;
  SetFileInformationQueryForTesting(nullptr);
  EXPECT_EQ(ReadBytes("Vorn.cfg"), "a = 2\r\n");
}

// ReFS can give two files the same 64-bit index; their 128-bit IDs differ,
// here in the upper half that the test sets. The query may also fail, as it
// can once, leaving that look the volume serial and 64-bit index.
uint64_t g_idUpperHalf = 0;
bool g_idFails = false;
BOOL WINAPI IdsWithUpperHalf(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, LPVOID info, DWORD size) {
  if (kind == kFileIdInfo && g_idFails) return FALSE;
  if (!GetFileInformationByHandleEx(file, kind, info, size)) return FALSE;
  if (kind == kFileIdInfo) {
    auto* id = static_cast<FileIdInformation*>(info);
    std::memcpy(id->FileId + 8, &g_idUpperHalf, sizeof(g_idUpperHalf));
  }
  return TRUE;
}

TEST_F(GameFolderFiles, AFileWhose128BitIdDiffersIsNotTheOneRead) {
  WriteBytes("Vorn.cfg", "a = 1\r\n");
  SetFileInformationQueryForTesting(&IdsWithUpperHalf);
  g_idUpperHalf = 1;
  const FileFound read = Found("Vorn.cfg");
  SystemError error = 0;
  LinkedFile link;
  g_idUpperHalf = 2;  // another file now, with the same index
  EXPECT_EQ(ReplacePlainFile(".\\Vorn.cfg", "a = 2\r\n", read, error, link), FileReplace::kChanged);
  g_idUpperHalf = 1;
  EXPECT_EQ(ReplacePlainFile(".\\Vorn.cfg", "a = 3\r\n", read, error, link), FileReplace::kReplaced)
      << "error " << error;
  // Either look without the 128-bit ID: the same file by the 64-bit pair.
  for (const bool failsAtRead : {false, true}) {
    g_idFails = failsAtRead;
    const FileFound again = Found("Vorn.cfg");
    g_idFails = !failsAtRead;
    EXPECT_EQ(ReplacePlainFile(".\\Vorn.cfg", "a = 4\r\n", again, error, link),
              FileReplace::kReplaced)
        << (failsAtRead ? "no ID at the read" : "no ID at the replace") << ", error " << error;
  }
  g_idFails = false;
  SetFileInformationQueryForTesting(nullptr);
  EXPECT_EQ(ReadBytes("Vorn.cfg"), "a = 4\r\n");
}

// Windows refuses to clear the new file's delete mark.
BOOL WINAPI MarkStays(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, LPVOID info, DWORD size) {
  if (kind == FileDispositionInfo && !static_cast<FILE_DISPOSITION_INFO*>(info)->DeleteFile) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  return SetFileInformationByHandle(file, kind, info, size);
}

TEST_F(GameFolderFiles, ANewFileStillMarkedForDeletionIsNotRenamedIntoPlace) {
  WriteBytes("Vorn.cfg", "a = 1\r\n");
  const FileFound read = Found("Vorn.cfg");
  SetFileInformationChangeForTesting(&MarkStays);
  SystemError error = 0;
  LinkedFile link;
  EXPECT_EQ(ReplacePlainFile(".\\Vorn.cfg", "a = 2\r\n", read, error, link), FileReplace::kFailed);
  SetFileInformationChangeForTesting(nullptr);
  EXPECT_EQ(error, static_cast<SystemError>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(ReadBytes("Vorn.cfg"), "a = 1\r\n") << "the old file, whole";
  EXPECT_EQ(LeftTemporaries(), std::vector<std::string>());
}

// Another program appends to the file while the new one is being made,
// written and flushed: the last look before the rename must see it.
bool AppendingMeanwhile(std::wstring& suffix, DWORD&) {
  const HANDLE other =
      CreateFileW(L"Vorn.cfg", FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                  OPEN_EXISTING, 0, nullptr);
  DWORD written = 0;
  WriteFile(other, "b = 2\r\n", 7, &written, nullptr);
  CloseHandle(other);
  suffix = L".meanwhile";
  return written == 7;
}

TEST_F(GameFolderFiles, AWriterThatAppendsDuringTheSaveKeepsItsBytes) {
  WriteBytes("Vorn.cfg", "a = 1\r\n");
  const FileFound read = Found("Vorn.cfg");
  SetTemporarySuffixSourceForTesting(&AppendingMeanwhile);
  SystemError error = 0;
  LinkedFile link;
  EXPECT_EQ(ReplacePlainFile(".\\Vorn.cfg", "a = 3\r\n", read, error, link), FileReplace::kChanged);
  SetTemporarySuffixSourceForTesting(nullptr);
  EXPECT_EQ(ReadBytes("Vorn.cfg"), "a = 1\r\nb = 2\r\n");
  EXPECT_EQ(LeftTemporaries(), std::vector<std::string>());
}

TEST_F(GameFolderFiles, AFileChangedSinceItWasReadIsNotReplaced) {
  WriteBytes("Vorn.cfg", "a = 1\r\n");
  const FileFound read = Found("Vorn.cfg");
  ASSERT_TRUE(CreateHardLinkW(L"outside\\second.cfg", L"Vorn.cfg", nullptr));
  SystemError error = 0;
  LinkedFile link;
  EXPECT_EQ(ReplacePlainFile(".\\Vorn.cfg", "a = 2\r\n", read, error, link), FileReplace::kLinked)
      << "given a second name";
  std::filesystem::remove("outside/second.cfg");
  WriteBytes("Vorn.cfg", "a = 3\r\n");
  EXPECT_EQ(ReplacePlainFile(".\\Vorn.cfg", "a = 2\r\n", read, error, link), FileReplace::kChanged);
  EXPECT_EQ(ReadBytes("Vorn.cfg"), "a = 3\r\n");
  // Created by another program where the read found none.
  EXPECT_EQ(ReplacePlainFile(".\\New.cfg", "a = 2\r\n", Found("New.cfg"), error, link),
            FileReplace::kReplaced);
  const FileFound none = Found("Other.cfg");
  WriteBytes("Other.cfg", "b = 1\r\n");
  EXPECT_EQ(ReplacePlainFile(".\\Other.cfg", "a = 2\r\n", none, error, link),
            FileReplace::kChanged);
  EXPECT_EQ(ReadBytes("Other.cfg"), "b = 1\r\n");
  EXPECT_EQ(LeftTemporaries(), std::vector<std::string>());
}

TEST_F(GameFolderFiles, AReadOnlyFileIsReplacedAndLeftWithNormalAttributes) {
  WriteBytes("Vorn.cfg", "a = 1\r\n");
  MakeReadOnly("Vorn.cfg");
  SystemError error = 0;
  LinkedFile link;
  ASSERT_EQ(ReplacePlainFile(".\\Vorn.cfg", "a = 2\r\n", Found("Vorn.cfg"), error, link),
            FileReplace::kReplaced);
  EXPECT_EQ(ReadBytes("Vorn.cfg"), "a = 2\r\n");
  EXPECT_EQ(GetFileAttributesW(L"Vorn.cfg") & FILE_ATTRIBUTE_READONLY, 0u);
}

// Whether the file's access list lets Everyone write to it.
bool EveryoneMayWrite(const char* name) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoA(name, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                            &dacl, nullptr, &descriptor) != ERROR_SUCCESS) {
    return false;
  }
  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  PSID everyone = nullptr;
  AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
  bool mayWrite = false;
  for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
    ACCESS_ALLOWED_ACE* ace = nullptr;
    if (GetAce(dacl, i, reinterpret_cast<void**>(&ace)) &&
        ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE && EqualSid(&ace->SidStart, everyone) &&
        (ace->Mask & FILE_WRITE_DATA)) {
      mayWrite = true;
    }
  }
  FreeSid(everyone);
  LocalFree(descriptor);
  return mayWrite;
}

// Adds "Everyone may modify" to the file's access list, as a game installer
// does for the players.
void OpenToEveryone(const char* name) {
  PACL dacl = nullptr, widened = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ASSERT_EQ(GetNamedSecurityInfoA(name, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                  &dacl, nullptr, &descriptor),
            static_cast<DWORD>(ERROR_SUCCESS));
  EXPLICIT_ACCESS_A access = {};
  BuildExplicitAccessWithNameA(&access, const_cast<char*>("EVERYONE"),
                               FILE_GENERIC_READ | FILE_GENERIC_WRITE | DELETE, GRANT_ACCESS,
                               NO_INHERITANCE);
  ASSERT_EQ(SetEntriesInAclA(1, &access, dacl, &widened), static_cast<DWORD>(ERROR_SUCCESS));
  ASSERT_EQ(SetNamedSecurityInfoA(const_cast<char*>(name), SE_FILE_OBJECT,
                                  DACL_SECURITY_INFORMATION, nullptr, nullptr, widened, nullptr),
            static_cast<DWORD>(ERROR_SUCCESS));
  LocalFree(widened);
  LocalFree(descriptor);
}

// The file's owner and whole access list, inherited entries and protection
// included, as text.
std::wstring SecurityOf(const char* name) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const SECURITY_INFORMATION what = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
  if (GetNamedSecurityInfoA(name, SE_FILE_OBJECT, what, nullptr, nullptr, nullptr, nullptr,
                            &descriptor) != ERROR_SUCCESS) {
    return L"unreadable";
  }
  LPWSTR text = nullptr;
  ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1, what, &text,
                                                       nullptr);
  const std::wstring result = text ? text : L"";
  LocalFree(text);
  LocalFree(descriptor);
  return result;
}

TEST_F(GameFolderFiles, TheNewFileKeepsTheOldOnesOwnerAndPermissions) {
  WriteBytes("Vorn.cfg", "a = 1\r\n");
  WriteBytes("fresh.cfg", "");
  OpenToEveryone("Vorn.cfg");
  const std::wstring before = SecurityOf("Vorn.cfg");
  ASSERT_TRUE(EveryoneMayWrite("Vorn.cfg"));
  ASSERT_NE(SecurityOf("fresh.cfg"), before) << "a new file is not open to everyone";
  SystemError error = 0;
  LinkedFile link;
  ASSERT_EQ(ReplacePlainFile(".\\Vorn.cfg", "a = 2\r\n", Found("Vorn.cfg"), error, link),
            FileReplace::kReplaced);
  EXPECT_EQ(SecurityOf("Vorn.cfg"), before);
}

}  // namespace
}  // namespace vorn
