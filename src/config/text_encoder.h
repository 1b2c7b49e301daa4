// Conversion of UTF-16 text into a region's code page, which only the system
// knows: Win32 supplies the real one, the tests fakes.
#pragma once

#include <optional>
#include <string>

namespace vorn {

class TextEncoder {
 public:
  virtual ~TextEncoder() = default;
  // UTF-16 to multibyte text in the given code page; a character without a
  // form of its own there gets a look-alike or the default character.
  virtual std::string Encode(const std::wstring& text, int codePage) = 0;
  // The same, but nothing at all when a character has no form of its own:
  // for text that must come back as it was.
  virtual std::optional<std::string> EncodeExactly(const std::wstring& text, int codePage) = 0;
};

}  // namespace vorn
