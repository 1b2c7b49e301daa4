#include "config/config_writer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "config/config_reader.h"
#include "config/file_ops.h"
#include "fake_encoder.h"
#include "temp_folder.h"

namespace vorn {
namespace {

TEST(FormatConfig, WritesOneLowerCaseLinePerEntryThenTheTail) {
  ConfigList list = ParseConfig("GlareRender=1\nWidth  =  1024\n");
  list.Append("ID", "");
  EXPECT_EQ(FormatConfig(list), "glarerender = 1\r\nwidth = 1024\r\nid = \r\n");
  EXPECT_EQ(FormatConfig(ParseConfig("a = 1 GeForce 8800\r\nwidth = 1\r\n")),
            "a = 1\r\nGeForce 8800\r\nwidth = 1\r\n");
}

TEST(FormatConfig, WritesAnEmptyValueOnlyOnTheLastLine) {
  ConfigList list;
  list.Append("id", "");
  list.Append("a", "1");
  EXPECT_EQ(FormatConfig(list), "a = 1\r\n");
  ConfigList withTail = ParseConfig("a = 1\ntail");
  withTail.Append("id", "");
  EXPECT_EQ(FormatConfig(withTail), "a = 1\r\ntail");
}

TEST(FormatConfig, NeverStartsAsAByteOrderMark) {
  // A mark after white space is part of the first key, or of the tail.
  EXPECT_EQ(FormatConfig(ParseConfig(" \xFF\xFEk = v")), "\r\n\xFF\xFEk = v\r\n");
  EXPECT_EQ(FormatConfig(ParseConfig("\t\xFE\xFFjunk")), "\r\n\xFE\xFFjunk");
}

TEST(FormatConfig, WritesAFileLargerThanItsPiecesWhole) {
  std::string file, expected;
  for (int i = 0; i < 30000; ++i) {
    file += "Key" + std::to_string(i) + " = " + std::to_string(i) + "\r\n";
    expected += "key" + std::to_string(i) + " = " + std::to_string(i) + "\r\n";
  }
  const std::string tail = "unread " + std::string(600000, 'x');
  const std::string text = FormatConfig(ParseConfig(file + tail));
  EXPECT_TRUE(text == expected + tail)
      << "expected " << (expected + tail).size() << " bytes, got " << text.size();
}

TEST(FormatConfig, WritesLinesAsTheFileHoldsThemAmongLinesItFormats) {
  // Lines the writer would write as they stand, longer together than a
  // piece, among lines it must change: other spacing, a capital, a line
  // end of its own, a value set since, the last pair before the tail.
  std::string asWritten;
  for (int i = 0; i < 20000; ++i)
    asWritten += "key" + std::to_string(i) + " = " + std::to_string(i) + "\r\n";
  ConfigList list = ParseConfig("a = 1\r\nb=2\r\n" + asWritten + "Width = 3\r\nc = 4\nd = 5\r\n" +
                                asWritten + "e = 6\r\nf = 7 tail");
  list.SetValue(list.Find("d"), "50");
  list.Append("id", "x");
  const std::string text = FormatConfig(list);
  const std::string expected = "a = 1\r\nb = 2\r\n" + asWritten +
                               "width = 3\r\nc = 4\r\nd = 50\r\n" + asWritten +
                               "e = 6\r\nf = 7\r\nid = x\r\ntail";
  EXPECT_TRUE(text == expected) << "expected " << expected.size() << " bytes, got " << text.size();
}

class WriteConfigTest : public TempFolderTest {};

TEST_F(WriteConfigTest, PutsTheBytesOfADamagedGameFileAfterTheSafeModePairs) {
  WriteBytes("Vorn.cfg", std::string("\0\0junk", 6));
  WriteBytes("VornSafeMode.cfg", "Width = 1024\r\nsafe tail");
  SettingsStore store;
  ASSERT_EQ(ReadGameConfig(store), ReadResult::kNotRead);
  ASSERT_EQ(ReadSafeModeConfig(store), ReadResult::kRead);
  ASSERT_TRUE(WriteGameConfig(store).ok);
  // The empty id is left out: it would swallow the next line's key.
  EXPECT_EQ(ReadBytes("Vorn.cfg"), std::string("width = 1024\r\n\0\0junk", 20));
}

TEST_F(WriteConfigTest, SavesAFileFromAWindowsEditorAsTheGameReadsIt) {
  for (const std::string& bytes : {"\xEF\xBB\xBF" + kKoreanText, Utf16File(kKoreanUnicode, false),
                                   Utf16File(kKoreanUnicode, true)}) {
    WriteBytes("Vorn.cfg", bytes);
    SettingsStore store;
    FakeEncoder encoder;
    store.textEncoder = &encoder;
    ASSERT_EQ(ReadGameConfig(store), ReadResult::kRead);
    ASSERT_TRUE(SaveGameConfig(store, {{"GlareRender", "0"}}).ok);
    EXPECT_EQ(ReadBytes("Vorn.cfg"),
              std::string("glarerender = 0\r\nid = ") + kKoreanIdIn949 + "\r\n");
  }
}

TEST_F(WriteConfigTest, KeepsUnknownKeysAndDuplicatesInPlace) {
  WriteBytes("Vorn.cfg",
             "GlareRender = 1\r\nCDNServerIP = 10.0.0.1\r\nWidth = 800\r\nwidth = 640\r\n"
             "ID = someone\r\nSecSysParam = abc==\r\n");
  SettingsStore store;
  ASSERT_EQ(ReadGameConfig(store), ReadResult::kRead);
  store.Set("Width", "1280");
  store.Set("VSync", "1");
  ASSERT_TRUE(WriteGameConfig(store).ok);
  EXPECT_EQ(ReadBytes("Vorn.cfg"),
            "glarerender = 1\r\ncdnserverip = 10.0.0.1\r\nwidth = 1280\r\nwidth = 640\r\n"
            "id = someone\r\nsecsysparam = abc==\r\nvsync = 1\r\n");
  EXPECT_EQ(LeftTemporaries(), std::vector<std::string>());
}

TEST_F(WriteConfigTest, StaysTheSameFromSaveToSave) {
  WriteBytes("Vorn.cfg", "a = 1\r\n");
  SettingsStore store;
  ASSERT_EQ(ReadGameConfig(store), ReadResult::kRead);
  ASSERT_TRUE(WriteGameConfig(store).ok);
  const std::string first = ReadBytes("Vorn.cfg");
  EXPECT_EQ(first, "a = 1\r\nid = \r\n");
  ASSERT_EQ(ReadGameConfig(store), ReadResult::kRead);
  ASSERT_TRUE(WriteGameConfig(store).ok);
  EXPECT_EQ(ReadBytes("Vorn.cfg"), first);
}

TEST_F(WriteConfigTest, PutsBackWhatTheReadCouldNotParse) {
  WriteBytes("Vorn.cfg",
             "glarerender = 1\r\nvideocard = NVIDIA GeForce 8800 GTX\r\nwidth = 1024\r\n");
  SettingsStore store;
  ASSERT_EQ(ReadGameConfig(store), ReadResult::kRead);
  ASSERT_TRUE(WriteGameConfig(store).ok);
  EXPECT_EQ(ReadBytes("Vorn.cfg"),
            "glarerender = 1\r\nvideocard = NVIDIA\r\nGeForce 8800 GTX\r\nwidth = 1024\r\n");
}

TEST_F(WriteConfigTest, CreatesTheGameFileFromTheSafeModeFile) {
  WriteBytes("VornSafeMode.cfg", "Width = 1024\nHeight = 768\n");
  SettingsStore store;
  ASSERT_EQ(ReadGameConfig(store), ReadResult::kNotRead);
  ASSERT_EQ(ReadSafeModeConfig(store), ReadResult::kRead);
  store.Set("Texture", "2");
  ASSERT_TRUE(WriteGameConfig(store).ok);
  EXPECT_EQ(ReadBytes("Vorn.cfg"), "width = 1024\r\nheight = 768\r\ntexture = 2\r\nid = \r\n");
  EXPECT_EQ(ReadBytes("VornSafeMode.cfg"), "Width = 1024\nHeight = 768\n");
}

TEST_F(WriteConfigTest, ReplacesAReadOnlyFile) {
  WriteBytes("Vorn.cfg", "a = 1\r\n");
  MakeReadOnly("Vorn.cfg");
  SettingsStore store;
  ASSERT_EQ(ReadGameConfig(store), ReadResult::kRead);
  store.Set("a", "2");
  const SaveResult result = WriteGameConfig(store);
  ASSERT_TRUE(result.ok) << result.path.path << ": error " << result.error;
  EXPECT_EQ(ReadBytes("Vorn.cfg"), "a = 2\r\nid = \r\n");
}

TEST_F(WriteConfigTest, ReportsAFolderStandingWhereTheFileGoes) {
  std::filesystem::create_directory("Vorn.cfg");
  SettingsStore store;
  store.Set("a", "1");
  const SaveResult result = WriteGameConfig(store);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.path.path, ConfigPath(store, kGameConfigFile));
  EXPECT_NE(result.error, 0u) << "the system's reason";
  EXPECT_TRUE(std::filesystem::is_directory("Vorn.cfg"));
  EXPECT_EQ(LeftTemporaries(), std::vector<std::string>());
}

TEST_F(WriteConfigTest, ReplacesOnlyTheFileTheLastReadFound) {
  SettingsStore store;
  ASSERT_EQ(ReadGameConfig(store), ReadResult::kNotRead);
  store.Set("a", "1");
  WriteBytes("Vorn.cfg", "appeared = 1\r\n");
  const SaveResult appeared = WriteGameConfig(store);
  EXPECT_TRUE(!appeared.ok && appeared.changed);
  EXPECT_EQ(ReadBytes("Vorn.cfg"), "appeared = 1\r\n");

  ASSERT_EQ(ReadGameConfig(store), ReadResult::kRead);
  for (const char* rewritten : {"rewritten = 22\r\n", "rewritten = 3\r\n"}) {
    WriteBytes("Vorn.cfg", rewritten);  // in place, then in place at the same size
    const SaveResult changed = WriteGameConfig(store);
    EXPECT_TRUE(!changed.ok && changed.changed) << rewritten;
    EXPECT_EQ(ReadBytes("Vorn.cfg"), rewritten);
  }
  std::filesystem::remove("Vorn.cfg");
  EXPECT_TRUE(WriteGameConfig(store).changed) << "deleted since";
  EXPECT_FALSE(std::filesystem::exists("Vorn.cfg"));
  EXPECT_EQ(LeftTemporaries(), std::vector<std::string>());
}

// Rewritten in place at its very size since the read, only its write time
// tells: the file layer must still refuse to replace it.
TEST_F(WriteConfigTest, AFileRewrittenAtItsSizeSinceTheReadIsNotReplaced) {
  WriteBytes("Vorn.cfg", "a = 1\r\n");
  const std::string path = ConfigPath(SettingsStore(), kGameConfigFile);
  std::string bytes;
  FileFound found;
  ASSERT_EQ(ReadPlainFile(path, kMaxConfigBytes, bytes, found), FileRead::kRead);
  const auto readAt = std::filesystem::last_write_time("Vorn.cfg");
  {
    std::fstream same("Vorn.cfg", std::ios::in | std::ios::out | std::ios::binary);
    same << "a = 2\r\n";
  }
  std::filesystem::last_write_time("Vorn.cfg", readAt + std::chrono::seconds(2));
  SystemError error = 0;
  LinkedFile link;
  EXPECT_EQ(ReplacePlainFile(path, "a = 3\r\n", found, error, link), FileReplace::kChanged);
  EXPECT_EQ(ReadBytes("Vorn.cfg"), "a = 2\r\n");
  EXPECT_EQ(LeftTemporaries(), std::vector<std::string>());
}

TEST_F(WriteConfigTest, LeavesAStaleTemporaryFileAlone) {
  WriteBytes("Vorn.cfg", "a = 1\r\n");
  WriteBytes("Vorn.cfg.tmp", "stale");
  SettingsStore store;
  ASSERT_EQ(ReadGameConfig(store), ReadResult::kRead);
  ASSERT_TRUE(WriteGameConfig(store).ok);
  EXPECT_EQ(ReadBytes("Vorn.cfg"), "a = 1\r\nid = \r\n");
  EXPECT_EQ(ReadBytes("Vorn.cfg.tmp"), "stale");
}

// ---- Saving over what another program wrote -------------------------------

class SaveOverTest : public TempFolderTest {
 protected:
  const SettingValues values_ = {{"Width", "1600"}, {"VideoCard", "GPU"}};
  SettingsStore store_;
};

TEST_F(SaveOverTest, AnUnchangedFileIsWrittenAsWithoutTheCheck) {
  WriteBytes("Vorn.cfg", "Width = 1280\r\nTestMode = 1\r\nID = hero\r\ntail words");
  ASSERT_EQ(ReadGameConfig(store_), ReadResult::kRead);
  ASSERT_TRUE(SaveGameConfig(store_, values_).ok);
  EXPECT_EQ(ReadBytes("Vorn.cfg"),
            "width = 1600\r\ntestmode = 1\r\nid = hero\r\nvideocard = GPU\r\ntail words");
}

TEST_F(SaveOverTest, KeepsWhatAnotherProgramWroteAndAppliesTheDialogsValues) {
  WriteBytes("Vorn.cfg", "Width = 1280\r\nTestMode = 1\r\nID = hero\r\n");
  ASSERT_EQ(ReadGameConfig(store_), ReadResult::kRead);
  WriteBytes("Vorn.cfg", "Patch = 7\r\nTestMode = 2\r\nWidth = 800\r\nID = other\r\nnew tail");
  ASSERT_TRUE(SaveGameConfig(store_, values_).ok);
  EXPECT_EQ(ReadBytes("Vorn.cfg"),
            "patch = 7\r\ntestmode = 2\r\nwidth = 1600\r\nid = other\r\nvideocard = GPU\r\n"
            "new tail");
}

TEST_F(SaveOverTest, AFileThatAppearedAfterAFirstStartIsKept) {
  WriteBytes("VornSafeMode.cfg", "Width = 1024\r\n");
  ASSERT_EQ(ReadGameConfig(store_), ReadResult::kNotRead);
  ASSERT_EQ(ReadSafeModeConfig(store_), ReadResult::kRead);
  WriteBytes("Vorn.cfg", "Server = 2\r\n");
  ASSERT_TRUE(SaveGameConfig(store_, values_).ok);
  EXPECT_EQ(ReadBytes("Vorn.cfg"), "server = 2\r\nwidth = 1600\r\nvideocard = GPU\r\nid = \r\n");
}

TEST_F(SaveOverTest, AFileWithoutPairsAtSaveTimeIsKeptAfterThePairsAsADamagedOne) {
  WriteBytes("Vorn.cfg", "Width = 1280\r\n");
  ASSERT_EQ(ReadGameConfig(store_), ReadResult::kRead);
  WriteBytes("Vorn.cfg", std::string("\0\0junk", 6));
  ASSERT_TRUE(SaveGameConfig(store_, values_).ok);
  EXPECT_EQ(ReadBytes("Vorn.cfg"),
            "width = 1600\r\nvideocard = GPU\r\n" + std::string("\0\0junk", 6));
}

TEST_F(SaveOverTest, AFileDeletedSinceItWasReadIsSavedFromThePairsReadBefore) {
  WriteBytes("Vorn.cfg", "Width = 1280\r\nServer = 2\r\nID = hero\r\n");
  ASSERT_EQ(ReadGameConfig(store_), ReadResult::kRead);
  std::filesystem::remove("Vorn.cfg");
  ASSERT_TRUE(SaveGameConfig(store_, values_).ok);
  EXPECT_EQ(ReadBytes("Vorn.cfg"),
            "width = 1600\r\nserver = 2\r\nid = hero\r\nvideocard = GPU\r\n");
}

TEST_F(SaveOverTest, AFileThatCannotBeReadNowIsNotReplaced) {
  WriteBytes("Vorn.cfg", "Width = 1280\r\n");
  ASSERT_EQ(ReadGameConfig(store_), ReadResult::kRead);
  std::filesystem::remove("Vorn.cfg");
  std::filesystem::create_directory("Vorn.cfg");
  const SaveResult unreadable = SaveGameConfig(store_, values_);
  EXPECT_FALSE(unreadable.ok);
  EXPECT_NE(unreadable.error, 0u) << "the system's reason";
  EXPECT_TRUE(std::filesystem::is_directory("Vorn.cfg"));
  EXPECT_EQ(LeftTemporaries(), std::vector<std::string>());
}

TEST_F(SaveOverTest, AFileThatBecameTooLargeOrALinkIsLeftAlone) {
  WriteBytes("Vorn.cfg", "Width = 1280\r\n");
  ASSERT_EQ(ReadGameConfig(store_), ReadResult::kRead);
  Extend("Vorn.cfg", kMaxConfigBytes + 1);
  const SaveResult tooLarge = SaveGameConfig(store_, values_);
  EXPECT_TRUE(!tooLarge.ok && tooLarge.tooLarge);
  EXPECT_EQ(std::filesystem::file_size("Vorn.cfg"), kMaxConfigBytes + 1);

  WriteBytes("Vorn.cfg", "Width = 1280\r\n");
  std::filesystem::create_hard_link("Vorn.cfg", "other-name.cfg");
  const SaveResult linked = SaveGameConfig(store_, values_);
  EXPECT_TRUE(!linked.ok && linked.linked);
  EXPECT_EQ(linked.link.names, 2u);
  EXPECT_EQ(ReadBytes("other-name.cfg"), "Width = 1280\r\n");
  EXPECT_EQ(LeftTemporaries(), std::vector<std::string>());
}

// ---- The game client's own copies ----------------------------------------

// A store whose game client reads copies kept in a folder of the player's
// ("store/Games/Vorn" below the test's folder, as Windows keeps them below
// the player's VirtualStore).
class ClientCopiesTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    std::filesystem::create_directories("store/Games/Vorn");
    store_.gameCopies = FilePlace("Games/Vorn", (folder() / "store").string());
  }
  static std::string Copy(const char* name) { return std::string("store/Games/Vorn/") + name; }

  const SettingValues values_ = {{"Width", "1600"}};
  SettingsStore store_;
};

TEST_F(ClientCopiesTest, TheCopyIsReadAndSavedIntoTheGameFolderThenRemoved) {
  WriteBytes("Vorn.cfg", "Width = 800\r\nOld = 1\r\n");
  WriteBytes(Copy("Vorn.cfg"), "Width = 1024\r\nServer = 2\r\nID = hero\r\ntail");
  ASSERT_EQ(ReadGameConfig(store_), ReadResult::kRead);
  EXPECT_EQ(store_.settings.Width, 1024);
  EXPECT_EQ(ReadPlace(store_, kGameConfigFile).path, CopyPlace(store_, kGameConfigFile).path);
  const SaveResult saved = SaveGameConfig(store_, values_);
  ASSERT_TRUE(saved.ok && !saved.copyLeft) << saved.path.path << ": error " << saved.error;
  EXPECT_EQ(ReadBytes("Vorn.cfg"), "width = 1600\r\nserver = 2\r\nid = hero\r\ntail");
  EXPECT_FALSE(std::filesystem::exists(Copy("Vorn.cfg")));
  EXPECT_EQ(LeftTemporaries(), std::vector<std::string>());
}

TEST_F(ClientCopiesTest, ADamagedCopyStartsOverFromTheSafeModeCopyAndKeepsItsBytes) {
  WriteBytes("VornSafeMode.cfg", "Width = 640\r\n");
  WriteBytes(Copy("VornSafeMode.cfg"), "Width = 1152\r\nSafe = 1\r\n");
  WriteBytes(Copy("Vorn.cfg"), std::string("\0junk", 5));
  ASSERT_EQ(ReadGameConfig(store_), ReadResult::kNotRead);
  ASSERT_EQ(ReadSafeModeConfig(store_), ReadResult::kRead);
  EXPECT_EQ(store_.settings.Width, 1152);
  ASSERT_TRUE(SaveGameConfig(store_, values_).ok);
  EXPECT_EQ(ReadBytes("Vorn.cfg"), "width = 1600\r\nsafe = 1\r\n" + std::string("\0junk", 5));
  // The safe-mode copy is moved into the game folder as it stood.
  EXPECT_EQ(ReadBytes("VornSafeMode.cfg"), "Width = 1152\r\nSafe = 1\r\n");
  EXPECT_FALSE(std::filesystem::exists(Copy("Vorn.cfg")));
  EXPECT_FALSE(std::filesystem::exists(Copy("VornSafeMode.cfg")));
}

TEST_F(ClientCopiesTest, WithoutACopyTheGameFolderIsReadAndNothingOfTheStoreIsTouched) {
  WriteBytes("Vorn.cfg", "Width = 800\r\n");
  ASSERT_EQ(ReadGameConfig(store_), ReadResult::kRead);
  EXPECT_EQ(ReadPlace(store_, kGameConfigFile).path, ConfigPath(store_, kGameConfigFile));
  WriteBytes(Copy("Other.cfg"), "x");
  ASSERT_TRUE(SaveGameConfig(store_, values_).ok);
  EXPECT_EQ(ReadBytes("Vorn.cfg"), "width = 1600\r\nid = \r\n");
  EXPECT_EQ(ReadBytes(Copy("Other.cfg")), "x");
}

TEST_F(ClientCopiesTest, ACopyIsRemovedOnlyWhileItIsTheOneReadAndSavedAsItIsNow) {
  WriteBytes(Copy("Vorn.cfg"), "Width = 1024\r\n");
  ASSERT_EQ(ReadGameConfig(store_), ReadResult::kRead);
  FileFound read;
  std::string bytes;
  ASSERT_EQ(ReadPlainFile(CopyPlace(store_, kGameConfigFile), kMaxConfigBytes, bytes, read),
            FileRead::kRead);
  SystemError error = 0;
  LinkedFile link;
  FileVersion other = read.version;
  ++other.size;
  EXPECT_EQ(RemovePlainFile(CopyPlace(store_, kGameConfigFile), other, error, link),
            FileRemove::kChanged);
  EXPECT_TRUE(std::filesystem::exists(Copy("Vorn.cfg")));
  WriteBytes(Copy("Vorn.cfg"), "Width = 1024\r\nLater = 5\r\n");
  ASSERT_TRUE(SaveGameConfig(store_, values_).ok);
  EXPECT_EQ(ReadBytes("Vorn.cfg"), "width = 1600\r\nlater = 5\r\nid = \r\n");
  EXPECT_FALSE(std::filesystem::exists(Copy("Vorn.cfg")));
}

// The game folder's file written later than the copy (by the patcher, or a
// tool that wrote the file itself) is the one shown and saved, its safe-mode
// file kept; the copies go either way, so that the client reads the files
// saved. Written at the same time, the copy is what the client reads.
TEST_F(ClientCopiesTest, TheFileWrittenLastIsShownAndSavedAndTheCopyRetired) {
  const auto stale = std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 60);
  for (const bool folderLater : {true, false}) {
    WriteBytes("Vorn.cfg", "Width = 800\r\nPatched = 1\r\n");
    WriteBytes("VornSafeMode.cfg", "Width = 640\r\n");
    for (const char* name : {kGameConfigFile, kSafeModeConfigFile}) {
      WriteBytes(Copy(name), "Width = 1024\r\nStale = 1\r\n");
      std::filesystem::last_write_time(Copy(name), stale);
      if (!folderLater) std::filesystem::last_write_time(name, stale);
    }
    ASSERT_EQ(ReadSafeModeConfig(store_), ReadResult::kRead);
    ASSERT_EQ(ReadGameConfig(store_), ReadResult::kRead);
    EXPECT_EQ(store_.settings.Width, folderLater ? 800 : 1024);
    EXPECT_EQ(ReadPlace(store_, kGameConfigFile).path,
              folderLater ? ConfigPath(store_, kGameConfigFile)
                          : CopyPlace(store_, kGameConfigFile).path);
    const SaveResult saved = SaveGameConfig(store_, values_);
    ASSERT_TRUE(saved.ok && !saved.copyLeft) << saved.path.path << ": error " << saved.error;
    EXPECT_EQ(ReadBytes("Vorn.cfg"), folderLater ? "width = 1600\r\npatched = 1\r\nid = \r\n"
                                                 : "width = 1600\r\nstale = 1\r\nid = \r\n");
    EXPECT_EQ(ReadBytes("VornSafeMode.cfg"),
              folderLater ? "Width = 640\r\n" : "Width = 1024\r\nStale = 1\r\n");
    EXPECT_FALSE(std::filesystem::exists(Copy("Vorn.cfg")));
    EXPECT_FALSE(std::filesystem::exists(Copy("VornSafeMode.cfg")));
  }
}

// Only a copy that cannot be deleted is reported as left: one that cannot be
// read, or a game folder's file that cannot be written, fails the save as
// Vorn.cfg's would, naming that file.
TEST_F(ClientCopiesTest, ASafeModeCopyThatCannotBeMovedFailsTheSaveWithoutCallingItLeft) {
  WriteBytes("secret.cfg", "Width = 1\r\n");
  WriteBytes(Copy("VornSafeMode.cfg"), "Width = 1152\r\n");
  ASSERT_EQ(ReadSafeModeConfig(store_), ReadResult::kRead);
  std::filesystem::create_directory("VornSafeMode.cfg");  // the game folder's cannot be written
  const SaveResult unwritable = SaveGameConfig(store_, values_);
  EXPECT_TRUE(!unwritable.ok && !unwritable.copyLeft && !unwritable.linked);
  EXPECT_EQ(unwritable.path.path, ConfigPath(store_, kSafeModeConfigFile));
  EXPECT_TRUE(std::filesystem::exists(Copy("VornSafeMode.cfg")));

  std::filesystem::remove(Copy("VornSafeMode.cfg"));
  std::filesystem::create_hard_link("secret.cfg", Copy("VornSafeMode.cfg"));
  const SaveResult linked = SaveGameConfig(store_, values_);
  EXPECT_TRUE(!linked.ok && !linked.copyLeft && linked.linked);
  EXPECT_EQ(linked.path.path, CopyPlace(store_, kSafeModeConfigFile).path);
  EXPECT_EQ(ReadBytes("secret.cfg"), "Width = 1\r\n");
}

TEST_F(ClientCopiesTest, ALinkedCopyIsNeitherReadNorRemoved) {
  WriteBytes("secret.cfg", "Width = 1\r\n");
  std::filesystem::create_hard_link("secret.cfg", Copy("Vorn.cfg"));
  FileFound found;
  EXPECT_EQ(ReadGameConfig(store_, &found), ReadResult::kLinked);
  EXPECT_EQ(found.link.names, 2u);
  EXPECT_EQ(ReadPlace(store_, kGameConfigFile).path, CopyPlace(store_, kGameConfigFile).path);
  EXPECT_FALSE(SaveGameConfig(store_, values_).ok);
  EXPECT_EQ(ReadBytes(Copy("Vorn.cfg")), "Width = 1\r\n");
  EXPECT_FALSE(std::filesystem::exists("Vorn.cfg"));
}

}  // namespace
}  // namespace vorn
