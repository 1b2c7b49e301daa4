// Replacing Vorn.cfg on the real file system: the new file takes the old
// one's permissions. Wine keeps a file's permissions as its Unix mode, so an
// entry that lets everyone write survives as the "others" write bit.
#include <windows.h>
#include <aclapi.h>
#include <gtest/gtest.h>

#include <string>

#include "config/file_ops.h"

namespace vorn {
namespace {

constexpr char kTarget[] = "permissions-test.cfg";
constexpr char kReplacement[] = "permissions-test.cfg.tmp";

void MakeFile(const char* name) {
  HANDLE file = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
}

// Whether the file's access list lets Everyone write to it.
bool EveryoneMayWrite(const char* name) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoA(name, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                            &dacl, nullptr, &descriptor) != ERROR_SUCCESS) {
    return false;
  }
  bool mayWrite = false;
  for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
    ACCESS_ALLOWED_ACE* ace = nullptr;
    if (!GetAce(dacl, i, reinterpret_cast<void**>(&ace))) continue;
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
    if (ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE && EqualSid(&ace->SidStart, everyone) &&
        (ace->Mask & FILE_WRITE_DATA)) {
      mayWrite = true;
    }
    FreeSid(everyone);
  }
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

TEST(ReplaceFile, TheNewFileKeepsTheOldOnesPermissions) {
  MakeFile(kTarget);
  OpenToEveryone(kTarget);
  ASSERT_TRUE(EveryoneMayWrite(kTarget));
  MakeFile(kReplacement);
  ASSERT_FALSE(EveryoneMayWrite(kReplacement)) << "a new file is not open to everyone";

  SystemError error = 0;
  EXPECT_TRUE(ReplaceFileAtomically(kReplacement, kTarget, error)) << "error " << error;
  EXPECT_TRUE(EveryoneMayWrite(kTarget));
  EXPECT_EQ(GetFileAttributesA(kReplacement), INVALID_FILE_ATTRIBUTES);
  DeleteFileA(kTarget);
}

TEST(ReplaceFile, ANewTargetTakesTheReplacementAsItIs) {
  DeleteFileA(kTarget);
  MakeFile(kReplacement);
  SystemError error = 0;
  EXPECT_TRUE(ReplaceFileAtomically(kReplacement, kTarget, error)) << "error " << error;
  EXPECT_NE(GetFileAttributesA(kTarget), INVALID_FILE_ATTRIBUTES);
  DeleteFileA(kTarget);
}

}  // namespace
}  // namespace vorn
