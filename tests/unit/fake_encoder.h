// A stand-in for the system's code pages: ASCII, and in Korean's (949) the
// few Hangul syllables the tests use.
#pragma once

#include <optional>
#include <string>

#include "config/text_encoder.h"

namespace vorn {

// 용 and 사, as code page 949 has them.
constexpr wchar_t kKoreanId[] = L"\xC6A9\xC0AC";
constexpr char kKoreanIdIn949[] = "\xBF\xEB\xBB\xE7";

// A Vorn.cfg with a Korean ID, as text and in code page 949.
inline const std::wstring kKoreanUnicode =
    std::wstring(L"GlareRender = 1\r\nID = ") + kKoreanId + L"\r\n";
inline const std::string kKoreanText =
    std::string("GlareRender = 1\r\nID = ") + kKoreanIdIn949 + "\r\n";

class FakeEncoder : public TextEncoder {
 public:
  // Any other character becomes a two-byte one, as in a double-byte code page.
  std::string Encode(const std::wstring& text, int codePage) override {
    std::string encoded;
    for (wchar_t c : text) encoded += FormOf(c, codePage).value_or("\xB0\xA1");
    return encoded;
  }
  std::optional<std::string> EncodeExactly(const std::wstring& text, int codePage) override {
    std::string encoded;
    for (wchar_t c : text) {
      const std::optional<std::string> form = FormOf(c, codePage);
      if (!form) return std::nullopt;
      encoded += *form;
    }
    return encoded;
  }

 private:
  static std::optional<std::string> FormOf(wchar_t c, int codePage) {
    if (c < 0x80) return std::string(1, static_cast<char>(c));
    for (int i = 0; codePage == 949 && i < 2; ++i) {
      if (c == kKoreanId[i]) return std::string(kKoreanIdIn949 + 2 * i, 2);
    }
    return std::nullopt;
  }
};

// `text` as an editor saves it as "Unicode": UTF-16 with its byte-order mark.
inline std::string Utf16File(const std::wstring& text, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (wchar_t unit : text) {
    const char high = static_cast<char>(unit >> 8 & 0xFF);
    const char low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

}  // namespace vorn
