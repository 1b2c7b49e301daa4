// Where the libraries come from, checked against the real loader: every path
// is absolute, the resource library is found from the current folder.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "win32/library_loader.h"

namespace vorn {
namespace {

std::wstring CurrentFolder() {
  wchar_t folder[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, folder);
  return folder;
}

std::wstring ModulePath(HMODULE module) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(module, path, MAX_PATH);
  return path;
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
  EXPECT_EQ(other, JoinPath(folder, L"rscdll\\VornOptionCN.dll")) << "named after the region";
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

}  // namespace
}  // namespace vorn
