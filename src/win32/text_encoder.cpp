#include "win32/text_encoder.h"

#include <windows.h>

namespace vorn {

std::string Win32TextEncoder::Encode(const std::wstring& text, int codePage) {
  const UINT page = static_cast<UINT>(codePage);
  const int size = WideCharToMultiByte(page, 0, text.c_str(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string encoded(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) {
    WideCharToMultiByte(page, 0, text.c_str(), static_cast<int>(text.size()), &encoded[0], size,
                        nullptr, nullptr);
  }
  return encoded;
}

std::wstring Win32TextEncoder::Decode(const std::string& text, int codePage) {
  const UINT page = static_cast<UINT>(codePage);
  const int size =
      MultiByteToWideChar(page, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring decoded(static_cast<size_t>(size > 0 ? size : 0), L'\0');
  if (size > 0) {
    MultiByteToWideChar(page, 0, text.c_str(), static_cast<int>(text.size()), &decoded[0], size);
  }
  return decoded;
}

}  // namespace vorn
