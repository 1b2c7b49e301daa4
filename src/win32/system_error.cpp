#include "win32/system_error.h"

namespace vorn {
namespace {

DWORD FormatSystemMessage(DWORD error, DWORD language, wchar_t* text, DWORD size) {
  return FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                        language, text, size, nullptr);
}

}  // namespace

std::wstring SystemErrorText(DWORD error) {
  wchar_t text[512] = {};
  // Without a message in the user's language, Windows' own order of languages.
  DWORD length = FormatSystemMessage(error, LANG_USER_DEFAULT, text, ARRAYSIZE(text));
  if (length == 0) length = FormatSystemMessage(error, 0, text, ARRAYSIZE(text));
  while (length > 0 &&
         (text[length - 1] == L'\r' || text[length - 1] == L'\n' || text[length - 1] == L' ')) {
    --length;
  }
  if (length == 0) return L"error " + std::to_wstring(error);
  return std::wstring(text, length);
}

}  // namespace vorn
