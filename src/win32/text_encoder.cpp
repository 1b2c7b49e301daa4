#include "win32/text_encoder.h"

#include <windows.h>

namespace vorn {
namespace {

// Nothing when the system cannot convert, or, `exact`, when a character has
// no form of its own in the code page: no look-alike (WC_NO_BEST_FIT_CHARS)
// and no default character stand in for it.
std::optional<std::string> Convert(const std::wstring& text, int codePage, bool exact) {
  if (text.empty()) return std::string();
  const UINT page = static_cast<UINT>(codePage);
  const DWORD flags = exact ? WC_NO_BEST_FIT_CHARS : 0;
  BOOL usedDefault = FALSE;
  BOOL* reportDefault = exact ? &usedDefault : nullptr;
  const int length = static_cast<int>(text.size());
  const int size =
      WideCharToMultiByte(page, flags, text.c_str(), length, nullptr, 0, nullptr, reportDefault);
  if (size <= 0 || usedDefault) return std::nullopt;
  std::string encoded(static_cast<size_t>(size), '\0');
  if (WideCharToMultiByte(page, flags, text.c_str(), length, &encoded[0], size, nullptr,
                          reportDefault) != size ||
      usedDefault) {
    return std::nullopt;
  }
  return encoded;
}

}  // namespace

std::string Win32TextEncoder::Encode(const std::wstring& text, int codePage) {
  return Convert(text, codePage, false).value_or(std::string());
}

std::optional<std::string> Win32TextEncoder::EncodeExactly(const std::wstring& text, int codePage) {
  return Convert(text, codePage, true);
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
