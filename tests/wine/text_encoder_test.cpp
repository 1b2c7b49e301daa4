// The real encoder against Windows' code pages: an adapter name outside
// ASCII in each region's code page, alone and as the dialog saves it, and
// text that must convert exactly or not at all.
#include "win32/text_encoder.h"

#include <windows.h>
#include <gtest/gtest.h>

#include "../unit/fake_dialog.h"
#include "../unit/temp_folder.h"
#include "dialog/options_behaviour.h"

namespace vorn {
namespace {

TEST(TextEncoder, EncodesInEachRegionsCodePage) {
  const struct {
    int codePage;
    const wchar_t* text;
    const char* bytes;
  } cases[] = {
      {949, L"\xC9C0\xD3EC\xC2A4 8800", "\xC1\xF6\xC6\xF7\xBD\xBA 8800"},  // 지포스
      {936, L"\x663E\x5361", "\xCF\xD4\xBF\xA8"},                          // 显卡
      {950, L"\x986F\x793A\x5361", "\xC5\xE3\xA5\xDC\xA5\x64"},            // 顯示卡
      {932, L"\x30D3\x30C7\x30AA", "\x83\x72\x83\x66\x83\x49"},            // ビデオ
      {1251, L"\x0412\x0438\x0434\x0435\x043E", "\xC2\xE8\xE4\xE5\xEE"},   // Видео
      {1252, L"Caf\x00E9 Radeon\x2122", "Caf\xE9 Radeon\x99"},
  };
  Win32TextEncoder encoder;
  for (const auto& c : cases) {
    EXPECT_EQ(encoder.Encode(c.text, c.codePage), c.bytes) << "code page " << c.codePage;
    EXPECT_EQ(encoder.Decode(c.bytes, c.codePage), c.text) << "code page " << c.codePage;
    EXPECT_EQ(encoder.EncodeExactly(c.text, c.codePage), c.bytes) << "code page " << c.codePage;
  }
}

TEST(TextEncoder, ReportsACharacterTheCodePageLacks) {
  // Neither its look-alike "e" nor the default character "?" may stand in.
  EXPECT_EQ(Win32TextEncoder().EncodeExactly(L"\xC9C0 caf\xE9", 949), std::nullopt);
  EXPECT_EQ(Win32TextEncoder().EncodeExactly(L"\x0628", 949), std::nullopt);
}

class VideoCardTest : public TempFolderTest {};

// The region table's rows: the code page in use is that of the row at the
// region index, which the program built for a region has in row 0.
TEST_F(VideoCardTest, IsSavedInTheRegionsCodePageWithUnderscoresForBlanks) {
  const struct {
    int row;
    const wchar_t* adapter;
    const char* saved;
  } cases[] = {
      {1, L"\xC9C0\xD3EC\xC2A4 8800 GTX", "\xC1\xF6\xC6\xF7\xBD\xBA_8800_GTX"},
      {2, L"\x663E\x5361 GTX", "\xCF\xD4\xBF\xA8_GTX"},
      {3, L"\x986F\x793A\x5361 GTX", "\xC5\xE3\xA5\xDC\xA5\x64_GTX"},
      {4, L"\x30D3\x30C7\x30AA GTX", "\x83\x72\x83\x66\x83\x49_GTX"},
      {5, L"\x0412\x0438\x0434\x0435\x043E GTX", "\xC2\xE8\xE4\xE5\xEE_GTX"},
      {6, L"Caf\x00E9 GTX", "Caf\xE9_GTX"},
  };
  for (const auto& c : cases) {
    std::filesystem::remove("Vorn.cfg");
    FakeDialog dialog;
    FakeProbe probe;
    probe.description = c.adapter;
    dialog.store.regionIndex = c.row;  // no file is read that would set it back to 0
    ASSERT_EQ(dialog.behaviour.Initialize(probe), OptionsBehaviour::InitResult::kReady);
    Win32TextEncoder encoder;
    ASSERT_TRUE(dialog.behaviour.ApplySettings(encoder).ok);
    const std::string saved = ReadBytes("Vorn.cfg");
    EXPECT_NE(saved.find(std::string("videocard = ") + c.saved + "\r\n"), std::string::npos)
        << "row " << c.row;
  }
}

TEST(TextEncoder, EmptyStaysEmpty) {
  EXPECT_EQ(Win32TextEncoder().Encode(L"", 949), "");
  EXPECT_EQ(Win32TextEncoder().Decode("", 949), L"");
}

}  // namespace
}  // namespace vorn
