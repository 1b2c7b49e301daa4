#include "config/config_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "fake_encoder.h"
#include "temp_folder.h"

namespace vorn {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs PairsOf(const ConfigList& list) {
  Pairs pairs;
  for (std::size_t i = 0; i < list.size(); ++i) pairs.emplace_back(list.Key(i), list.Value(i));
  return pairs;
}

TEST(ParseConfig, ReadsAPairWrittenInAnySpacing) {
  for (const char* text :
       {"Width=1024", "Width = 1024", "Width\r\n=\r\n1024\r\n", "\t Width =1024"}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(PairsOf(ParseConfig(text)), (Pairs{{"width", "1024"}}));
  }
}

TEST(ParseConfig, KeepsDuplicatesAndFileOrder) {
  const ConfigList parsed = ParseConfig("B = 2\nA = 1\nb = 3\n");
  EXPECT_EQ(PairsOf(parsed), (Pairs{{"b", "2"}, {"a", "1"}, {"b", "3"}}));
  EXPECT_EQ(parsed.UnreadTail(), "");
}

TEST(ParseConfig, KeepsEqualsSignsInsideAValue) {
  EXPECT_EQ(PairsOf(ParseConfig("secsysparam = abc==\n")), (Pairs{{"secsysparam", "abc=="}}));
  EXPECT_EQ(PairsOf(ParseConfig("k = =x\n")), (Pairs{{"k", "=x"}}));
}

TEST(ParseConfig, StopsAtTheSecondWordOfAValueAndKeepsTheRest) {
  const ConfigList parsed =
      ParseConfig("glarerender = 1\r\nvideocard = NVIDIA GeForce 8800 GTX\r\nwidth = 1024\r\n");
  EXPECT_EQ(PairsOf(parsed), (Pairs{{"glarerender", "1"}, {"videocard", "NVIDIA"}}));
  EXPECT_EQ(parsed.UnreadTail(), "GeForce 8800 GTX\r\nwidth = 1024\r\n");
}

TEST(ParseConfig, DropsATrailingKeyWithoutValue) {
  const ConfigList parsed = ParseConfig("width = 1024\r\nid = \r\n");
  EXPECT_EQ(PairsOf(parsed), (Pairs{{"width", "1024"}}));
  EXPECT_EQ(parsed.UnreadTail(), "");
  EXPECT_EQ(ParseConfig("a = 1\nid=").UnreadTail(), "");
}

TEST(ParseConfig, KeepsATrailingEqualsSignWithoutKey) {
  EXPECT_EQ(ParseConfig("a = 1\n= \n").UnreadTail(), "= \n");
}

TEST(ParseConfig, KeepsATrailingWordWithoutEquals) {
  EXPECT_EQ(ParseConfig("a = 1\nstray\n").UnreadTail(), "stray\n");
}

TEST(ParseConfig, EndsAtATokenTooLongForTheGame) {
  const std::string longValue(512, 'x');
  const ConfigList parsed = ParseConfig("a = 1\nb = " + longValue + "\nc = 3\n");
  EXPECT_EQ(PairsOf(parsed), (Pairs{{"a", "1"}}));
  EXPECT_EQ(parsed.UnreadTail(), "b = " + longValue + "\nc = 3\n");

  const std::string longestValue(511, 'y');
  EXPECT_EQ(PairsOf(ParseConfig("b = " + longestValue)), (Pairs{{"b", longestValue}}));
  EXPECT_EQ(ParseConfig(std::string(512, 'k') + " = 1").UnreadTail(),
            std::string(512, 'k') + " = 1");
}

TEST(ParseConfig, ReadsNothingFromAnEmptyOrBlankText) {
  EXPECT_EQ(ParseConfig("").size(), 0u);
  EXPECT_EQ(ParseConfig(" \r\n\t").UnreadTail(), "");
}

TEST(ParseConfig, LeavesTheFileBytesAsTheyWere) {
  const ConfigList parsed = ParseConfig("Width = 1024\r\nheight = 768\r\n");
  EXPECT_EQ(PairsOf(parsed), (Pairs{{"width", "1024"}, {"height", "768"}}));
  EXPECT_EQ(parsed.Buffer(), "Width = 1024\r\nheight = 768\r\n");
}

// ---- The reading loop of both file layers ----------------------------------

// A file handed out `step` bytes a read at most, as a system may.
struct FakeFile {
  std::string bytes;
  std::size_t step = 7000;
  std::size_t at = 0;
  long long operator()(char* into, std::size_t room) {
    const std::size_t count = std::min({room, step, bytes.size() - at});
    bytes.copy(into, count, at);
    at += count;
    return static_cast<long long>(count);
  }
};

std::string Filler(std::size_t size) {
  std::string bytes(size, 'a');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('a' + i % 23);
  return bytes;
}

TEST(ReadToEnd, ComparesWithTheBytesGivenAndCopiesOnlyAChangedFile) {
  const std::string before = Filler(200000);
  std::string bytes = "stale";
  EXPECT_EQ(ReadToEnd(FakeFile{before}, before.size(), kMaxConfigBytes, bytes, before),
            FileRead::kUnchanged);
  EXPECT_EQ(bytes, "");
  for (const std::size_t changedAt : {std::size_t{0}, std::size_t{150000}, before.size() - 1}) {
    std::string after = before;
    after[changedAt] = '#';
    EXPECT_EQ(ReadToEnd(FakeFile{after}, after.size(), kMaxConfigBytes, bytes, before),
              FileRead::kRead);
    EXPECT_TRUE(bytes == after) << "changed at " << changedAt << ", got " << bytes.size()
                                << " bytes";
  }
}

TEST(ReadToEnd, ReadsAFileGrowingWhileReadToItsEndNeverPastTheLimit) {
  const std::string grown = Filler(100000);
  for (const bool compared : {false, true}) {
    SCOPED_TRACE(compared ? "compared with its first bytes" : "read");
    const std::optional<std::string_view> same =
        compared ? std::optional<std::string_view>(std::string_view(grown).substr(0, 10))
                 : std::nullopt;
    std::string bytes;
    EXPECT_EQ(ReadToEnd(FakeFile{grown}, 10, kMaxConfigBytes, bytes, same), FileRead::kRead);
    EXPECT_TRUE(bytes == grown) << "expected 100000 bytes, got " << bytes.size();
    EXPECT_EQ(ReadToEnd(FakeFile{grown}, 10, 50000, bytes, same), FileRead::kTooLarge);
  }
  std::string bytes;
  EXPECT_EQ(ReadToEnd(FakeFile{grown}, 50001, 50000, bytes, std::nullopt), FileRead::kTooLarge);
  const std::string shrunk = grown.substr(0, 5000);
  EXPECT_EQ(ReadToEnd(FakeFile{shrunk}, grown.size(), kMaxConfigBytes, bytes, grown),
            FileRead::kRead);
  EXPECT_TRUE(bytes == shrunk) << "expected 5000 bytes, got " << bytes.size();
  auto failing = [](char*, std::size_t) { return -1LL; };
  EXPECT_EQ(ReadToEnd(failing, 10, kMaxConfigBytes, bytes, std::nullopt), FileRead::kUnreadable);
}

TEST(ConfigText, IsTheSameInEveryFormAnEditorSaves) {
  FakeEncoder encoder;
  for (const std::string& bytes :
       {kKoreanText, "\xEF\xBB\xBF" + kKoreanText, Utf16File(kKoreanUnicode, false),
        Utf16File(kKoreanUnicode, true)}) {
    EXPECT_EQ(ConfigText(bytes, &encoder, 949), kKoreanText);
  }
}

// Converts any text: what does not decode never reaches it.
class AnyTextEncoder : public TextEncoder {
 public:
  std::string Encode(const std::wstring&, int) override { return {}; }
  std::optional<std::string> EncodeExactly(const std::wstring& text, int) override {
    return std::string(text.size(), '?');
  }
};

TEST(ConfigText, ConvertsOnlyUtf16ThatDecodes) {
  AnyTextEncoder encoder;
  EXPECT_EQ(ConfigText(Utf16File(L"\xD83D\xDE00", true), &encoder, 949), "??");
  for (const std::string& bytes : {Utf16File(L"k", false) + "x", Utf16File(L"\xD83Dk", false),
                                   Utf16File(L"k\xD83D", true), Utf16File(L"\xDE00k", true)}) {
    EXPECT_EQ(ConfigText(bytes, &encoder, 949), bytes);
  }
}

TEST(ConfigText, TakesOneMarkAtTheVeryStartAndWithoutAnEncoderAsciiAlone) {
  EXPECT_EQ(ConfigText(" \xEF\xBB\xBFk", nullptr, 949), " \xEF\xBB\xBFk");
  EXPECT_EQ(ConfigText("\xEF\xBB\xBF\xEF\xBB\xBFk", nullptr, 949), "\xEF\xBB\xBFk");
  EXPECT_EQ(ConfigText(Utf16File(L"k = 1", false), nullptr, 949), "k = 1");
  const std::string korean = Utf16File(kKoreanUnicode, false);
  EXPECT_EQ(ConfigText(korean, nullptr, 949), korean);
}

class ReadConfigTest : public TempFolderTest {};

TEST_F(ReadConfigTest, MissingFileLeavesTheStoreAsItWas) {
  SettingsStore store;
  store.Set("keep", "1");
  store.folder = "elsewhere";
  EXPECT_EQ(ReadGameConfig(store), ReadResult::kNotRead);
  EXPECT_EQ(store.LookupText("keep"), "1");
  EXPECT_EQ(store.settings.GlareRender, 1);
  EXPECT_EQ(store.folder, ".");
}

TEST_F(ReadConfigTest, OnlyAMissingFileIsMissing) {
  SettingsStore store;
  FileFound missing;
  EXPECT_EQ(ReadGameConfig(store, &missing), ReadResult::kNotRead);
  EXPECT_FALSE(missing.exists);

  // A name that stands but cannot be read is no reason to start over.
  std::filesystem::create_directory("Vorn.cfg");
  std::filesystem::create_directory("VornSafeMode.cfg");
  store.Set("keep", "1");
  for (auto read : {&ReadGameConfig, &ReadSafeModeConfig}) {
    FileFound found;
    EXPECT_EQ(read(store, &found), ReadResult::kUnreadable);
    EXPECT_TRUE(found.exists);
    EXPECT_NE(found.error, 0u) << "the system's reason";
  }
  EXPECT_EQ(store.LookupText("keep"), "1");
}

TEST_F(ReadConfigTest, TheSameBytesAreNotParsedAgainForASave) {
  WriteBytes("Vorn.cfg", "A = 1\r\n");
  SettingsStore store;
  ASSERT_EQ(ReadGameConfig(store), ReadResult::kRead);
  store.Set("A", "2");
  FileFound found;
  ASSERT_EQ(ReadGameConfigAgain(store, found), ReadResult::kRead);
  EXPECT_EQ(store.LookupText("a"), "2") << "the list read before, with what was set since";
  WriteBytes("Vorn.cfg", "A = 3\r\n");
  ASSERT_EQ(ReadGameConfigAgain(store, found), ReadResult::kRead);
  EXPECT_EQ(store.LookupText("a"), "3");
  // A list from the safe-mode file is never taken for Vorn.cfg's.
  WriteBytes("VornSafeMode.cfg", "A = 3\r\n");
  ASSERT_EQ(ReadSafeModeConfig(store), ReadResult::kRead);
  store.Set("A", "4");
  ASSERT_EQ(ReadGameConfigAgain(store, found), ReadResult::kRead);
  EXPECT_EQ(store.LookupText("a"), "3");
}

TEST_F(ReadConfigTest, AGameFileWithoutASinglePairCountsAsMissingButKeepsItsBytes) {
  const std::string zeroFilled(4096, '\0');
  const std::string utf16Unfit = Utf16File(L"Width = 1\r\nID = caf\xE9", true);
  const struct {
    const char* name;
    std::string bytes;
    std::string kept;
  } cases[] = {{"empty", "", ""},
               {"blank", " \r\n\t\r\n", ""},
               {"zero-filled", zeroFilled, zeroFilled},
               {"UTF-16 beyond the code page", utf16Unfit, utf16Unfit},
               {"junk", "no pairs here", "no pairs here"}};
  FakeEncoder encoder;
  for (const auto& c : cases) {
    WriteBytes("Vorn.cfg", c.bytes);
    SettingsStore store;
    store.textEncoder = &encoder;
    store.Set("keep", "1");
    EXPECT_EQ(ReadGameConfig(store), ReadResult::kNotRead) << c.name;
    EXPECT_EQ(store.LookupText("keep"), "1") << c.name;
    EXPECT_EQ(store.settings.Width, 1280) << c.name;
    EXPECT_EQ(store.unreadGameConfig, c.kept) << c.name;
  }
}

TEST_F(ReadConfigTest, ASafeModeFileWithoutPairsIsStillRead) {
  WriteBytes("VornSafeMode.cfg", "");
  SettingsStore store;
  EXPECT_EQ(ReadSafeModeConfig(store), ReadResult::kRead);
  EXPECT_EQ(store.settings.Width, -1);
}

TEST_F(ReadConfigTest, AFileOverTheLimitIsRefusedBeforeItIsHeld) {
  WriteBytes("Vorn.cfg", "Width = 1600\n");
  Extend("Vorn.cfg", kMaxConfigBytes + 1);
  SettingsStore store;
  store.Set("keep", "1");
  EXPECT_EQ(ReadGameConfig(store), ReadResult::kTooLarge);
  EXPECT_EQ(store.LookupText("keep"), "1");
  EXPECT_EQ(store.settings.Width, 1280);
}

TEST_F(ReadConfigTest, CorrectsOutOfRangeSettings) {
  WriteBytes("Vorn.cfg",
             "Ocean = 0\nHeightField = 7\nSky = -3\nSupportShader = 9\nCharacter = 3\n"
             "Object = -1\nTree = 2\nTreeNormalMap = -5\nVolumeCloud = 1\n");
  SettingsStore store;
  ASSERT_EQ(ReadGameConfig(store), ReadResult::kRead);
  const TypedSettings& s = store.settings;
  EXPECT_EQ(s.Ocean, 1);
  EXPECT_EQ(s.HeightField, 1);
  EXPECT_EQ(s.Sky, 0);
  EXPECT_EQ(s.SupportShader, 9);
  EXPECT_EQ(s.Character, 0);
  EXPECT_EQ(s.Object, 1);
  EXPECT_EQ(s.Tree, 2);
  EXPECT_EQ(s.TreeNormalMap, 0);
  EXPECT_EQ(s.VolumeCloud, 0);
}

TEST_F(ReadConfigTest, AbsentKeysGiveMinusOneOrTheirCorrection) {
  WriteBytes("Vorn.cfg", "Foo = bar\n");
  SettingsStore store;
  ASSERT_EQ(ReadGameConfig(store), ReadResult::kRead);
  const TypedSettings& s = store.settings;
  EXPECT_EQ(s.GlareRender, -1);
  EXPECT_EQ(s.Width, -1);
  EXPECT_EQ(s.VSync, -1);
  EXPECT_EQ(s.Audio, 1);
  EXPECT_EQ(s.Ocean, 1);
  EXPECT_EQ(s.HeightField, 1);
  EXPECT_EQ(s.SupportShader, 0);
  EXPECT_EQ(store.Entries().size(), 1u);
}

TEST_F(ReadConfigTest, ReadsEverySettingAndTheId) {
  WriteBytes("Vorn.cfg",
             "GlareRender = 0\r\nShaderVersion = 2\r\nShadowmap = 1\r\nWaterReflection = 0\r\n"
             "Texture = 2\r\nVsync = 1\r\nBit = 16\r\nWidth = 1600\r\nHeight = 900\r\n"
             "WindowMode = 1\r\nAudio = 0\r\nID = player1\r\n");
  SettingsStore store;
  ASSERT_EQ(ReadGameConfig(store), ReadResult::kRead);
  const TypedSettings& s = store.settings;
  EXPECT_EQ(s.GlareRender, 0);
  EXPECT_EQ(s.ShaderVersion, 2);
  EXPECT_EQ(s.WaterReflection, 0);
  EXPECT_EQ(s.Texture, 2);
  EXPECT_EQ(s.VSync, 1);
  EXPECT_EQ(s.Bit, 16);
  EXPECT_EQ(s.Width, 1600);
  EXPECT_EQ(s.Height, 900);
  EXPECT_EQ(s.WindowMode, 1);
  EXPECT_EQ(s.Audio, 0);
  EXPECT_EQ(store.id, "player1");
}

TEST_F(ReadConfigTest, TrailingIdWithoutValueGivesAnEmptyId) {
  WriteBytes("Vorn.cfg", "width = 1024\r\nid = \r\n");
  SettingsStore store;
  store.id = "old";
  ASSERT_EQ(ReadGameConfig(store), ReadResult::kRead);
  EXPECT_EQ(store.id, "");
}

TEST_F(ReadConfigTest, SafeModeFileKeepsThreeSettingsOfTheGameFile) {
  WriteBytes("Vorn.cfg", "SupportShader = 3\nTreeNormalMap = 1\nVsync = 1\nWidth = 1600\n");
  WriteBytes("VornSafeMode.cfg", "SupportShader = 0\nTreeNormalMap = 0\nVsync = 0\nWidth = 1024\n");
  SettingsStore store;
  ASSERT_EQ(ReadGameConfig(store), ReadResult::kRead);
  ASSERT_EQ(ReadSafeModeConfig(store), ReadResult::kRead);
  EXPECT_EQ(store.settings.SupportShader, 3);
  EXPECT_EQ(store.settings.TreeNormalMap, 1);
  EXPECT_EQ(store.settings.VSync, 1);
  EXPECT_EQ(store.settings.Width, 1024);
  EXPECT_EQ(store.LookupText("width"), "1024");
  EXPECT_EQ(store.Entries().size(), 4u);
}

}  // namespace
}  // namespace vorn
