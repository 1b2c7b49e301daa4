// Which game clients Windows virtualizes, and where their copies would stand:
// the stand-in clients are real 32-bit (and, on a 64-bit build, 64-bit)
// programs with and without a manifest.
#include <windows.h>
#include <gtest/gtest.h>

// Exported by user32 since Windows NT 4; the headers leave it out.
extern "C" __declspec(dllimport) BOOL WINAPI SetShellWindow(HWND window);

#include <cstring>
#include <filesystem>
#include <string>

#include "../unit/temp_folder.h"
#include "win32/elevated/elevated.h"
#include "win32/elevated/plain_file.h"

namespace vorn {
namespace {

std::wstring Client32(const char* name) {
  return std::filesystem::path(VORN_WIN32_CLIENTS).wstring() + L"\\" +
         std::wstring(name, name + std::strlen(name)) + L".exe";
}

class ClientCopiesTest : public TempFolderTest {
 protected:
  static void PutClient(const std::wstring& from) {
    ASSERT_TRUE(CopyFileW(from.c_str(), L"VornClient.exe", FALSE)) << GetLastError();
  }
};

TEST_F(ClientCopiesTest, OnlyA32BitClientThatStatesNoExecutionLevelIsVirtualized) {
  EXPECT_FALSE(VirtualizedClient()) << "no client";
  PutClient(Client32("client_plain"));
  EXPECT_TRUE(VirtualizedClient()) << "no manifest";
  PutClient(Client32("client_commented"));
  EXPECT_TRUE(VirtualizedClient()) << "a manifest that names the level in a comment only";
  PutClient(Client32("client_as_invoker"));
  EXPECT_FALSE(VirtualizedClient()) << "asInvoker";
#ifdef _WIN64
  PutClient(std::filesystem::path(VORN_BUILD_DIR "/e2e/clients/client_plain.exe").wstring());
  EXPECT_FALSE(VirtualizedClient()) << "a 64-bit client";
#endif
}

TEST_F(ClientCopiesTest, AManifestBesideAClientWithoutItsOwnCounts) {
  PutClient(Client32("client_plain"));
  WriteBytes("VornClient.exe.manifest",
             "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">"
             "<trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v3\"><security>"
             "<requestedPrivileges><asmv3:requestedExecutionLevel level=\"asInvoker\"/>"
             "</requestedPrivileges></security></trustInfo></assembly>");
  EXPECT_FALSE(VirtualizedClient());
  WriteBytes("VornClient.exe.manifest", "<assembly><!-- <requestedExecutionLevel/> --></assembly>");
  EXPECT_TRUE(VirtualizedClient());
}

TEST_F(ClientCopiesTest, ALinkedClientIsNotRead) {
  PutClient(Client32("client_plain"));
  ASSERT_TRUE(CreateHardLinkW(L"Other.exe", L"VornClient.exe", nullptr));
  EXPECT_FALSE(VirtualizedClient());
}

TEST(VirtualizedFolders, AreProgramFilesWindowsAndProgramDataAndWhatLiesBelow) {
  for (const wchar_t* folder : {L"C:\\Program Files (x86)\\Vorn", L"c:\\program files\\Vorn\\Game",
                                L"C:\\windows\\Vorn", L"C:\\ProgramData\\Vorn"}) {
    EXPECT_TRUE(InVirtualizedFolder(folder)) << folder;
  }
  for (const wchar_t* folder : {L"C:\\Program Files (x86)", L"C:\\Program Files (x86)Vorn\\x",
                                L"C:\\Games\\Vorn", L"D:\\Program Files (x86)\\Vorn"}) {
    EXPECT_FALSE(InVirtualizedFolder(folder)) << folder;
  }
}

// A value planted in the 64-bit view, where Windows and Explorer's
// Compatibility tab keep it, and deleted again.
class PlantedValue {
 public:
  PlantedValue(HKEY root, const wchar_t* key, const std::wstring& name, const std::wstring& text)
      : PlantedValue(root, key, name, REG_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t)) {}
  PlantedValue(HKEY root, const wchar_t* key, const std::wstring& name, DWORD number)
      : PlantedValue(root, key, name, REG_DWORD, &number, sizeof(number)) {}
  ~PlantedValue() {
    RegDeleteValueW(key_, name_.c_str());
    RegCloseKey(key_);
  }
  PlantedValue(const PlantedValue&) = delete;
  PlantedValue& operator=(const PlantedValue&) = delete;

 private:
  PlantedValue(HKEY root, const wchar_t* key, const std::wstring& name, DWORD type,
               const void* data, std::size_t size)
      : name_(name) {
    EXPECT_EQ(RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr,
                              &key_, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key_, name.c_str(), 0, type, static_cast<const BYTE*>(data),
                             static_cast<DWORD>(size)),
              ERROR_SUCCESS);
  }
  HKEY key_ = nullptr;
  std::wstring name_;
};

constexpr wchar_t kUserLayers[] =
    L"Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers";
constexpr wchar_t kMachineLayers[] =
    L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers";
constexpr wchar_t kSystemPolicies[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

// A game folder under Program Files (x86), as an installer puts it there.
class InstalledGameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The test plays Explorer, which Wine's desktop does not run: the shell
    // window's process is the player's.
    shell_ = CreateWindowExW(0, L"STATIC", L"shell", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                             nullptr, nullptr);
    ASSERT_TRUE(shell_ && SetShellWindow(shell_));
    game_ = L"C:\\Program Files (x86)\\VornTest" + std::to_wstring(GetCurrentProcessId());
    std::filesystem::create_directories(game_);
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(game_);
  }
  void TearDown() override {
    DestroyWindow(shell_);
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(game_);
  }
  std::wstring game_;
  std::filesystem::path previous_;
  HWND shell_ = nullptr;
};

TEST_F(InstalledGameTest, CopiesStandInThePlayersVirtualStoreBelowTheProfile) {
  ASSERT_TRUE(CopyFileW(Client32("client_plain").c_str(), L"VornClient.exe", FALSE));
  const ClientCopies copies = GameClientCopies();
  wchar_t profile[MAX_PATH] = {};
  ASSERT_GT(GetEnvironmentVariableW(L"USERPROFILE", profile, MAX_PATH), 0u);
  EXPECT_FALSE(copies.playerUnknown);
  EXPECT_EQ(copies.place.root, std::filesystem::path(profile).u8string());
  EXPECT_EQ(copies.place.path, "AppData\\Local\\VirtualStore\\Program Files (x86)\\VornTest" +
                                   std::to_string(GetCurrentProcessId()));

  ASSERT_TRUE(CopyFileW(Client32("client_as_invoker").c_str(), L"VornClient.exe", FALSE));
  EXPECT_TRUE(GameClientCopies().place.root.empty()) << "a client Windows does not virtualize";
}

TEST_F(InstalledGameTest, NoCopiesWhereWindowsWouldNotVirtualizeTheClient) {
  ASSERT_TRUE(CopyFileW(Client32("client_plain").c_str(), L"VornClient.exe", FALSE));
  const std::wstring client = game_ + L"\\VornClient.exe";
  {
    const PlantedValue player(HKEY_CURRENT_USER, kUserLayers, client, L"~ RUNASADMIN");
    EXPECT_TRUE(GameClientCopies().place.root.empty()) << "run as administrator by the player";
  }
  {
    const PlantedValue machine(HKEY_LOCAL_MACHINE, kMachineLayers, client, L"$ WIN7RTM runasadmin");
    EXPECT_TRUE(GameClientCopies().place.root.empty()) << "run as administrator by the machine";
  }
  for (const wchar_t* policy : {L"EnableLUA", L"EnableVirtualization"}) {
    const PlantedValue off(HKEY_LOCAL_MACHINE, kSystemPolicies, policy, DWORD{0});
    EXPECT_TRUE(GameClientCopies().place.root.empty()) << policy << " 0";
  }
  // Other layers, another program's, or the token only inside a word.
  const PlantedValue other(HKEY_CURRENT_USER, kUserLayers, client, L"~ RUNASADMINX WIN7RTM");
  const PlantedValue elsewhere(HKEY_LOCAL_MACHINE, kMachineLayers, game_ + L"\\Other.exe",
                               L"~ RUNASADMIN");
  EXPECT_FALSE(GameClientCopies().place.root.empty());
}

TEST_F(InstalledGameTest, WithoutThePlayersTokenNoProfileIsLookedIn) {
  ASSERT_TRUE(CopyFileW(Client32("client_plain").c_str(), L"VornClient.exe", FALSE));
  DestroyWindow(shell_);  // no Explorer: no shell whose user is the player
  const ClientCopies copies = GameClientCopies();
  EXPECT_TRUE(copies.playerUnknown);
  EXPECT_TRUE(copies.place.root.empty()) << copies.place.root;
  // Where Windows virtualizes nothing, there is nothing to tell.
  const PlantedValue off(HKEY_LOCAL_MACHINE, kSystemPolicies, L"EnableLUA", DWORD{0});
  EXPECT_FALSE(GameClientCopies().playerUnknown);
}

}  // namespace
}  // namespace vorn
