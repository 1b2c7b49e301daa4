// Which game clients Windows virtualizes, and where their copies would stand:
// the stand-in clients are real 32-bit (and, on a 64-bit build, 64-bit)
// programs with and without a manifest.
#include <windows.h>
#include <gtest/gtest.h>

// Exported by user32 since Windows NT 4; the headers leave it out.
extern "C" __declspec(dllimport) BOOL WINAPI SetShellWindow(HWND window);

#include <cstring>
#include <filesystem>
#include <optional>
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
// Compatibility tab keep it; what stood there before is put back.
class PlantedValue {
 public:
  PlantedValue(HKEY root, const std::wstring& key, const std::wstring& name, DWORD type,
               const void* data, DWORD size)
      : name_(name) {
    EXPECT_EQ(
        RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0,
                        KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key_, nullptr),
        ERROR_SUCCESS);
    DWORD oldSize = sizeof(old_);
    had_ =
        RegQueryValueExW(key_, name.c_str(), nullptr, &oldType_, old_, &oldSize) == ERROR_SUCCESS;
    oldSize_ = oldSize;
    EXPECT_EQ(RegSetValueExW(key_, name.c_str(), 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
  }
  ~PlantedValue() {
    if (had_) {
      RegSetValueExW(key_, name_.c_str(), 0, oldType_, old_, oldSize_);
    } else {
      RegDeleteValueW(key_, name_.c_str());
    }
    RegCloseKey(key_);
  }
  PlantedValue(const PlantedValue&) = delete;
  PlantedValue& operator=(const PlantedValue&) = delete;

 private:
  HKEY key_ = nullptr;
  std::wstring name_;
  bool had_ = false;
  DWORD oldType_ = 0, oldSize_ = 0;
  BYTE old_[512] = {};
};

constexpr wchar_t kUserLayers[] =
    L"Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers";
constexpr wchar_t kMachineLayers[] =
    L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers";
constexpr wchar_t kSystemPolicies[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

PlantedValue Layers(HKEY root, const wchar_t* key, const std::wstring& program,
                    const std::wstring& layers) {
  return PlantedValue(root, key, program, REG_SZ, layers.c_str(),
                      static_cast<DWORD>((layers.size() + 1) * sizeof(wchar_t)));
}

PlantedValue Policy(const wchar_t* name, DWORD value) {
  return PlantedValue(HKEY_LOCAL_MACHINE, kSystemPolicies, name, REG_DWORD, &value, sizeof(value));
}

// A game folder under Program Files (x86), as an installer puts it there, on
// a Windows with UAC on, as it ships (Wine's prefix says it is off).
class InstalledGameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const DWORD on = 1;
    uac_.emplace(HKEY_LOCAL_MACHINE, kSystemPolicies, L"EnableLUA", REG_DWORD, &on, sizeof(on));
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
  std::optional<PlantedValue> uac_;
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

TEST_F(InstalledGameTest, NoCopiesWhereTheClientRunsAsAdministrator) {
  ASSERT_TRUE(CopyFileW(Client32("client_plain").c_str(), L"VornClient.exe", FALSE));
  const std::wstring client = game_ + L"\\VornClient.exe";
  for (const wchar_t* layers : {L"~ RUNASADMIN", L"$ WIN7RTM runasadmin HIGHDPIAWARE"}) {
    const PlantedValue player = Layers(HKEY_CURRENT_USER, kUserLayers, client, layers);
    EXPECT_TRUE(GameClientCopies().place.root.empty()) << "the player's layers: " << layers;
  }
  {
    const PlantedValue machine =
        Layers(HKEY_LOCAL_MACHINE, kMachineLayers, client, L"~ RUNASADMIN");
    EXPECT_TRUE(GameClientCopies().place.root.empty()) << "the machine's layers";
  }
  // Other layers, another program, or the token only as part of a word.
  const PlantedValue other =
      Layers(HKEY_CURRENT_USER, kUserLayers, client, L"~ RUNASADMINX WIN7RTM");
  const PlantedValue elsewhere =
      Layers(HKEY_LOCAL_MACHINE, kMachineLayers, game_ + L"\\Other.exe", L"~ RUNASADMIN");
  EXPECT_FALSE(GameClientCopies().place.root.empty());
}

TEST_F(InstalledGameTest, NoCopiesWhereUacOrVirtualizationIsOff) {
  ASSERT_TRUE(CopyFileW(Client32("client_plain").c_str(), L"VornClient.exe", FALSE));
  for (const wchar_t* policy : {L"EnableLUA", L"EnableVirtualization"}) {
    {
      const PlantedValue off = Policy(policy, 0);
      EXPECT_TRUE(GameClientCopies().place.root.empty()) << policy << " 0";
    }
    const PlantedValue on = Policy(policy, 1);
    EXPECT_FALSE(GameClientCopies().place.root.empty()) << policy << " 1";
  }
}

TEST_F(InstalledGameTest, WithoutThePlayersTokenNoProfileIsLookedIn) {
  ASSERT_TRUE(CopyFileW(Client32("client_plain").c_str(), L"VornClient.exe", FALSE));
  DestroyWindow(shell_);  // no Explorer: no shell whose user is the player
  const ClientCopies copies = GameClientCopies();
  EXPECT_TRUE(copies.playerUnknown);
  EXPECT_TRUE(copies.place.root.empty()) << copies.place.root;
  // Where Windows virtualizes nothing, there is nothing to tell.
  const PlantedValue off = Policy(L"EnableLUA", 0);
  EXPECT_FALSE(GameClientCopies().playerUnknown);
}

}  // namespace
}  // namespace vorn
