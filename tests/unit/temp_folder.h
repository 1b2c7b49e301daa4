// Runs a test inside a fresh, empty folder, the way the tool runs inside the
// game's folder: the configuration files are looked for in the current one.
#pragma once

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

class TempFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = std::filesystem::current_path();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::filesystem::temp_directory_path() /
              (std::string("vorn_") + info->test_suite_name() + "_" + info->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    std::filesystem::current_path(folder_);
  }
  void TearDown() override {
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::permissions(folder_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(folder_, ignored);
  }

  const std::filesystem::path& folder() const { return folder_; }

  static void WriteBytes(const std::string& name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary) << bytes;
  }
  static std::string ReadBytes(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // Makes a file `size` bytes long through its own handle (sparse: no disk
  // is used), which, unlike resize_file under MinGW, checks no free space.
  static void Extend(const std::string& name, unsigned long long size) {
#ifdef _WIN32
    HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << name;
    FILE_END_OF_FILE_INFO end = {};
    end.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
    const BOOL extended = SetFileInformationByHandle(file, FileEndOfFileInfo, &end, sizeof(end));
    CloseHandle(file);
    ASSERT_TRUE(extended) << name << ": error " << GetLastError();
#else
    ASSERT_EQ(::truncate(name.c_str(), static_cast<off_t>(size)), 0) << name;
#endif
  }
  // Makes a file read-only through a handle opened for that, as Windows asks
  // (Wine's SetFileAttributesW sets them through a handle that lacks the
  // right, which the access audit refuses).
  static void MakeReadOnly(const std::string& name) {
#ifdef _WIN32
    HANDLE file = CreateFileA(name.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << name;
    FILE_BASIC_INFO basic = {};  // times of 0 are left as they are
    basic.FileAttributes = FILE_ATTRIBUTE_READONLY;
    const BOOL set = SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof(basic));
    CloseHandle(file);
    ASSERT_TRUE(set) << name << ": error " << GetLastError();
#else
    std::filesystem::permissions(name,
                                 std::filesystem::perms::owner_write |
                                     std::filesystem::perms::group_write |
                                     std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
#endif
  }
  // What a save may have left behind: "Vorn.cfg.<random>.tmp".
  static std::vector<std::string> LeftTemporaries() {
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
      const std::string name = entry.path().filename().string();
      if (name.rfind("Vorn.cfg.", 0) == 0 && name != "Vorn.cfg.tmp") left.push_back(name);
    }
    return left;
  }

 private:
  std::filesystem::path previous_;
  std::filesystem::path folder_;
};
