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

TEST_F(InstalledGameTest, CopiesStandInThePlayersVirtualStoreAndNowhereWithoutThePlayer) {
  ASSERT_TRUE(CopyFileW(Client32("client_plain").c_str(), L"VornClient.exe", FALSE));
  const ClientCopies copies = GameClientCopies();
  wchar_t profile[MAX_PATH] = {};
  ASSERT_GT(GetEnvironmentVariableW(L"USERPROFILE", profile, MAX_PATH), 0u);
  EXPECT_FALSE(copies.playerUnknown);
  EXPECT_EQ(copies.place.root, std::filesystem::path(profile).u8string());
  EXPECT_EQ(copies.place.path, "AppData\\Local\\VirtualStore\\Program Files (x86)\\VornTest" +
                                   std::to_string(GetCurrentProcessId()));

  DestroyWindow(shell_);  // no Explorer: no shell whose user is the player
  const ClientCopies unknown = GameClientCopies();
  EXPECT_TRUE(unknown.playerUnknown && unknown.place.root.empty()) << unknown.place.root;

  ASSERT_TRUE(CopyFileW(Client32("client_as_invoker").c_str(), L"VornClient.exe", FALSE));
  EXPECT_TRUE(GameClientCopies().place.root.empty()) << "a client Windows does not virtualize";
  EXPECT_FALSE(GameClientCopies().playerUnknown) << "nothing to tell";
}

}  // namespace
}  // namespace vorn
