#include "win32/messages.h"

#include "resource_ids.h"
#include "win32/system_error.h"
#include "win32/text_encoder.h"

namespace vorn {
namespace {

constexpr int kResourceStringLength = 260;

std::wstring LoadText(HINSTANCE resources, UINT id) {
  wchar_t text[kResourceStringLength] = {};
  LoadStringW(resources, id, text, kResourceStringLength);
  return text;
}

}  // namespace

std::wstring FullPath(const std::string& path) {
  const std::wstring relative = Win32TextEncoder().Decode(path, CP_ACP);
  const DWORD size = GetFullPathNameW(relative.c_str(), 0, nullptr, nullptr);
  if (size == 0) return relative;
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(relative.c_str(), size, &full[0], nullptr);
  if (length == 0 || length >= size) return relative;
  full.resize(length);
  return full;
}

std::wstring SaveFailedMessage(HINSTANCE resources, const std::wstring& path, DWORD error) {
  std::wstring reason = SystemErrorText(error);
  const std::wstring what = LoadText(resources, IDS_SAVE_FAILED);
  const std::wstring advice = LoadText(resources, IDS_SAVE_ADVICE);
  if (what.empty() || advice.empty()) {
    if (!reason.empty() && reason.back() == L'.') reason.pop_back();
    return L"Cannot save " + path + L": " + reason;
  }
  return what + L"\n\n" + path + L"\n" + reason + L"\n\n" + advice;
}

std::wstring TooLargeMessage(HINSTANCE resources, const std::wstring& path) {
  const std::wstring what = LoadText(resources, IDS_FILE_TOO_LARGE);
  if (what.empty()) return L"Cannot read " + path + L": the file is too large.";
  return what + L"\n\n" + path;
}

std::wstring LinkedMessage(HINSTANCE resources, const std::wstring& path, const LinkedFile& link) {
  const std::wstring leadsTo = Win32TextEncoder().Decode(link.leadsTo, CP_UTF8);
  const std::wstring names = std::to_wstring(link.names);
  const std::wstring what = LoadText(resources, IDS_FILE_LINKED);
  const std::wstring leadsLabel = LoadText(resources, IDS_LINK_LEADS_TO);
  std::wstring namesText = LoadText(resources, IDS_LINK_NAMES);
  const std::wstring advice = LoadText(resources, IDS_LINK_ADVICE);
  if (what.empty() || leadsLabel.empty() || namesText.empty() || advice.empty()) {
    const std::wstring detail = leadsTo.empty() ? L"it has " + names + L" names (hard links)"
                                                : L"it is a link to " + leadsTo;
    return L"Cannot use " + path + L": " + detail +
           L".\n\nVornOption runs as administrator and does not use linked files. "
           L"Put a plain copy of the file in its place.";
  }
  // The library's text holds "{n}" where the count goes; it is never used as
  // a format string.
  const std::size_t slot = namesText.find(L"{n}");
  if (slot != std::wstring::npos) namesText.replace(slot, 3, names);
  const std::wstring detail = leadsTo.empty() ? namesText : leadsLabel + L" " + leadsTo;
  return what + L"\n\n" + path + L"\n" + detail + L"\n\n" + advice;
}

void ShowError(HWND owner, const std::wstring& text) {
  MessageBoxW(owner, text.c_str(), L"Vorn", MB_OK | MB_ICONERROR);
}

}  // namespace vorn
