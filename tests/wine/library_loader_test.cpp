// Where the libraries come from, checked against the real loader: every path
// is absolute, the resource library is found from the current folder, the
// system's libraries come from the system folder and Windows' folder.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "../unit/temp_folder.h"
#include "resource_ids.h"
#include "win32/elevated/elevated.h"
#include "win32/elevated/plain_file.h"
#include "win32/scoped_handle.h"

namespace vorn {
namespace {

std::wstring CurrentFolder() {
  wchar_t folder[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, folder);
  return folder;
}

TEST(LibraryPaths, TheResourceLibraryIsNamedByItsFullPathInTheCurrentFolder) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring previous = CurrentFolder();
  ASSERT_TRUE(SetCurrentDirectoryW(temp));
  const std::wstring folder = CurrentFolder();
  const std::wstring path = ResourceLibraryPath("KR", 949);
  const std::wstring other = ResourceLibraryPath("CN", 936);
  SetCurrentDirectoryW(previous.c_str());

  const std::wstring name = L"\\rscdll\\VornOptionKR.dll";
  ASSERT_GT(path.size(), folder.size() + 3);
  EXPECT_EQ(path.compare(0, folder.size(), folder), 0) << "in the current folder";
  EXPECT_EQ(path.compare(path.size() - name.size(), name.size(), name), 0);
  EXPECT_EQ(path.substr(1, 2), L":\\") << "absolute";
  EXPECT_EQ(other, folder + L"\\rscdll\\VornOptionCN.dll") << "named after the region";
}

TEST(LibraryPaths, JoinsWithOneSeparatorAndRefusesWhatDoesNotFit) {
  EXPECT_EQ(JoinPath(L"C:\\Games\\Vorn", L"a.dll"), L"C:\\Games\\Vorn\\a.dll");
  EXPECT_EQ(JoinPath(L"C:\\", L"a.dll"), L"C:\\a.dll");
  EXPECT_EQ(JoinPath(L"", L"a.dll"), L"");

  const std::wstring name = L"rscdll\\VornOptionKR.dll";
  const std::wstring fits(MAX_PATH - 2 - name.size(), L'f');  // folder, "\", name, zero
  EXPECT_EQ(JoinPath(fits, name).size(), static_cast<size_t>(MAX_PATH - 1));
  EXPECT_EQ(JoinPath(fits + L"f", name), L"")
      << "a path of MAX_PATH characters is refused, not cut";
}

TEST(LibraryPaths, SystemLibrariesComeFromTheSystemFolder) {
  HMODULE d3d9 = LoadSystemLibrary(L"d3d9.dll");
  ASSERT_NE(d3d9, nullptr);
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  EXPECT_EQ(_wcsicmp(ModulePath(d3d9).c_str(), JoinPath(system, L"d3d9.dll").c_str()), 0);
  FreeLibrary(d3d9);
  EXPECT_EQ(LoadSystemLibrary(L"no-such-library.dll"), nullptr);
}

std::wstring SystemFolder() {
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  return system;
}

TEST(LibraryPaths, LibrariesAskedForByNameAreTheSystemFoldersOwn) {
  LoadLibrariesAskedForByName();
  for (const wchar_t* name : {L"uxtheme.dll", L"dwmapi.dll", L"msimg32.dll", L"version.dll"}) {
    const HMODULE loaded = GetModuleHandleW(name);
    ASSERT_NE(loaded, nullptr) << "not loaded: " << std::filesystem::path(name).string();
    EXPECT_EQ(_wcsicmp(ModulePath(loaded).c_str(), (SystemFolder() + L"\\" + name).c_str()), 0)
        << std::filesystem::path(ModulePath(loaded)).string();
  }
}

TEST(LibraryPaths, TheCommonControlsStandInWindowsFolderAndRegisterTheirClasses) {
  std::wstring path;
  const HMODULE controls = LoadCommonControls(path);
  ASSERT_NE(controls, nullptr) << std::filesystem::path(path).string();
  wchar_t windows[MAX_PATH] = {};
  GetSystemWindowsDirectoryW(windows, MAX_PATH);
  EXPECT_EQ(_wcsnicmp(path.c_str(), windows, wcslen(windows)), 0)
      << std::filesystem::path(path).string();
  WNDCLASSEXW tooltip = {};
  tooltip.cbSize = sizeof(tooltip);
  EXPECT_TRUE(GetClassInfoExW(nullptr, TOOLTIPS_CLASSW, &tooltip)) << "classes registered";
}

// Where Windows lacks SetDefaultDllDirectories (Windows 7 SP1 without
// KB2533623) the search cannot be limited, and the tool is told so.
TEST(LibraryPaths, TheSearchIsLimitedOnlyWhereWindowsCan) {
  EXPECT_TRUE(RestrictLibrarySearchPath());
  HideSearchFunctionForTesting(true);
  EXPECT_FALSE(RestrictLibrarySearchPath());
  HideSearchFunctionForTesting(false);
  EXPECT_TRUE(RestrictLibrarySearchPath());
}

// A private copy of the assembly, as a ".local" folder or a configuration
// file beside the program would have Windows take, is refused before the
// library is loaded; so is an activation context that cannot be asked.
Redirection PrivateCopy(const wchar_t*, std::wstring& manifest) {
  manifest =
      L"Z:\\game\\VornOption.exe.local\\x86_microsoft.windows.common-controls\\"
      L"x86_microsoft.windows.common-controls.manifest";
  return Redirection::kToAssembly;
}
Redirection NoAnswer(const wchar_t*, std::wstring&) { return Redirection::kUnknown; }
Redirection WindowsOwn(const wchar_t*, std::wstring& manifest) {
  wchar_t windows[MAX_PATH] = {};
  GetSystemWindowsDirectoryW(windows, MAX_PATH);
  manifest = std::wstring(windows) + L"\\WinSxS\\Manifests\\common-controls.manifest";
  return Redirection::kToAssembly;
}

TEST(LibraryPaths, TheCommonControlsAreJudgedBeforeTheyLoad) {
  std::wstring path;
  SetRedirectionQueryForTesting(&PrivateCopy);
  EXPECT_EQ(LoadCommonControls(path), nullptr);
  EXPECT_NE(path.find(L"VornOption.exe.local"), std::wstring::npos)
      << std::filesystem::path(path).string();
  SetRedirectionQueryForTesting(&NoAnswer);
  EXPECT_EQ(LoadCommonControls(path), nullptr);
  SetRedirectionQueryForTesting(&WindowsOwn);
  EXPECT_NE(LoadCommonControls(path), nullptr) << std::filesystem::path(path).string();
  SetRedirectionQueryForTesting(nullptr);

  // Asked for real, under the program's manifest of the common controls:
  // Windows' store.
  ACTCTXW manifest = {};
  manifest.cbSize = sizeof(manifest);
  manifest.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
  manifest.lpSource = L"" VORN_DIST_DIR L"\\VornOption.exe";
  manifest.lpResourceName = MAKEINTRESOURCEW(IDR_COMMON_CONTROLS_MANIFEST);
  const HANDLE context = CreateActCtxW(&manifest);
  ASSERT_NE(context, INVALID_HANDLE_VALUE) << "error " << GetLastError();
  ULONG_PTR cookie = 0;
  ASSERT_TRUE(ActivateActCtx(context, &cookie));
  EXPECT_EQ(AskActivationContext(L"comctl32.dll", path), Redirection::kToAssembly);
  EXPECT_NE(path.find(L"common-controls"), std::wstring::npos)
      << "the assembly's manifest: " << std::filesystem::path(path).string();
  EXPECT_NE(LoadCommonControls(path), nullptr) << std::filesystem::path(path).string();
  DeactivateActCtx(0, cookie);
  ReleaseActCtx(context);
}

// The loader maps a library from its path; the view is then compared with
// the file the checked handle holds, in the form Windows or Wine names it.
TEST(LibraryPaths, AMappedLibraryIsToldFromAnotherFile) {
  const std::wstring built = L"" VORN_DIST_DIR L"\\rscdll\\VornOptionKR.dll";
  const ScopedModule module(LoadLibraryExW(
      built.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  ASSERT_TRUE(module);
  const auto open = [](const std::wstring& path) {
    return ScopedHandle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
  };
  const ScopedHandle same = open(built), other = open(SystemFolder() + L"\\d3d9.dll");
  ASSERT_TRUE(same && other);
  EXPECT_TRUE(IsMappingOf(module.get(), same.get()));
  EXPECT_FALSE(IsMappingOf(module.get(), other.get()));
}

// The name "<program>.local" is held while the hold lasts, and refused when
// anything stands there already.
TEST(LibraryPaths, TheDotLocalNameIsHeldOrFoundTaken) {
  std::wstring path;
  {
    const DotLocalHold hold;
    path = hold.Path();
    ASSERT_TRUE(hold.Clear());
    EXPECT_EQ(path, ModulePath(nullptr) + L".local");
    EXPECT_NE(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES) << "held";
    EXPECT_FALSE(CreateDirectoryW(path.c_str(), nullptr)) << "no folder can take the name";
  }
  EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES) << "let go";
  ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
  EXPECT_FALSE(DotLocalHold().Clear()) << "a folder stands there";
  RemoveDirectoryW(path.c_str());
  CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
  EXPECT_FALSE(DotLocalHold().Clear()) << "a file stands there";
  DeleteFileW(path.c_str());
}

// A second claim of the same program finds the first, whose process is this
// one; once the first ends, a claim is the first again. One program has one
// name however its path is written, and another game folder's another.
TEST(ToolClaims, ASecondClaimFindsTheFirstUntilItEnds) {
  {
    const ToolClaim first;
    ASSERT_FALSE(first.HeldByAnother());
    EXPECT_TRUE(ToolClaim().HeldByAnother()) << "the first still runs";
  }
  EXPECT_FALSE(ToolClaim().HeldByAnother()) << "the first has ended";
  EXPECT_EQ(ToolClaimName(L"C:\\Games\\Vorn\\VornOption.exe"),
            ToolClaimName(L"c:\\games\\VORN\\vornoption.EXE"))
      << "one program however its path is written";
  EXPECT_NE(ToolClaimName(L"C:\\Games\\Vorn\\VornOption.exe"),
            ToolClaimName(L"C:\\Games\\Vorn Test\\VornOption.exe"))
      << "another game folder";
}

// A folder a player could write, with a d3d9.dll planted in it: loading it
// runs its DllMain, which leaves planted-d3d9-in-<program>.txt in the
// current folder.
class PlantedLibraryTest : public TempFolderTest {
 protected:
  static constexpr wchar_t kPlanted[] = L"" VORN_E2E_DIR L"\\d3d9.dll";
  static bool PlantedCodeRan() {
    return std::filesystem::exists("planted-d3d9-in-win32_tests.exe.txt");
  }

  // Runs load_probe.exe from the program folder with the current folder as
  // it is; Wine is told to prefer a d3d9.dll of the program's own, as
  // Windows 7 without KB2533623 would for a bare name.
  static DWORD RunLoadProbe(const wchar_t* arguments) {
    std::wstring command = std::wstring(L"program\\load_probe.exe ") + arguments;
    SetEnvironmentVariableW(L"WINEDLLOVERRIDES", L"d3d9=n,b");
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    const BOOL started = CreateProcessW(L"program\\load_probe.exe", &command[0], nullptr, nullptr,
                                        FALSE, 0, nullptr, nullptr, &startup, &process);
    SetEnvironmentVariableW(L"WINEDLLOVERRIDES", nullptr);
    if (!started) return 99;
    WaitForSingleObject(process.hProcess, 30000);
    DWORD status = 99;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return status;
  }
};

TEST_F(PlantedLibraryTest, NoCodeOfALibraryInTheResourceLibrarysPlaceRuns) {
  std::filesystem::create_directory("rscdll");
  ASSERT_TRUE(CopyFileW(kPlanted, L"rscdll\\VornOptionKR.dll", FALSE));
  HMODULE asData = LoadResourceLibrary("KR", 949);
  ASSERT_NE(asData, nullptr);
  FreeLibrary(asData);
  EXPECT_FALSE(PlantedCodeRan()) << "mapped as data, its DllMain never runs";
  HMODULE asCode = LoadLibraryW(ResourceLibraryPath("KR", 949).c_str());
  EXPECT_TRUE(PlantedCodeRan()) << "loaded as code it does: the check above can fail";
  if (asCode) FreeLibrary(asCode);
}

TEST_F(PlantedLibraryTest, D3D9ComesFromTheSystemFolderWithCopiesPlantedBesideTheProgramAndHere) {
  std::filesystem::create_directory("program");
  ASSERT_TRUE(CopyFileW(L"" VORN_E2E_DIR L"\\load_probe.exe", L"program\\load_probe.exe", FALSE));
  ASSERT_TRUE(CopyFileW(kPlanted, L"program\\d3d9.dll", FALSE));
  ASSERT_TRUE(CopyFileW(kPlanted, L"d3d9.dll", FALSE));
  EXPECT_EQ(RunLoadProbe(L""), 0u) << "the system's copy";
  EXPECT_EQ(RunLoadProbe(L"bare"), 1u) << "a bare name takes the planted copy: the check can fail";
}

// In a fresh process, where nothing has loaded them yet: each library that
// Windows' DLLs ask for by name is loaded from the system folder by the call.
TEST_F(PlantedLibraryTest, LibrariesAskedForByNameAreLoadedFromTheSystemFolderByTheCall) {
  std::filesystem::create_directory("program");
  ASSERT_TRUE(CopyFileW(L"" VORN_E2E_DIR L"\\load_probe.exe", L"program\\load_probe.exe", FALSE));
  // version.dll too, but Wine's own DLLs import it at start.
  EXPECT_EQ(RunLoadProbe(L"asked-for-by-name uxtheme.dll dwmapi.dll msimg32.dll"), 0u)
      << "1: one is not loaded from the system folder; 3: one was loaded before the call";
}

}  // namespace
}  // namespace vorn
