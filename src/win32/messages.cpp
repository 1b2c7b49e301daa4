#include "win32/messages.h"

#include "resource_ids.h"
#include "win32/game_folder.h"
#include "win32/library_loader.h"
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

// What failed, the file, the system's reason and what to try; in English
// when the library lacks the texts.
std::wstring ReasonedMessage(HINSTANCE resources, UINT whatId, UINT adviceId,
                             const std::wstring& path, DWORD error, const wchar_t* englishWhat,
                             const wchar_t* englishAdvice) {
  std::wstring reason = SystemErrorText(error);
  const std::wstring what = LoadText(resources, whatId);
  const std::wstring advice = LoadText(resources, adviceId);
  if (what.empty() || advice.empty()) {
    if (!reason.empty() && reason.back() == L'.') reason.pop_back();
    return englishWhat + path + L": " + reason + englishAdvice;
  }
  return what + L"\n\n" + path + L"\n" + reason + L"\n\n" + advice;
}

}  // namespace

std::wstring FullPath(const std::string& path) {
  const std::wstring relative = Win32TextEncoder().Decode(path, CP_ACP);
  const bool dotted = relative.compare(0, 2, L".\\") == 0;
  const std::wstring inPlayerFolder =
      JoinPath(PlayerGameFolder(), dotted ? relative.substr(2) : relative);
  if (!inPlayerFolder.empty()) return inPlayerFolder;
  const DWORD size = GetFullPathNameW(relative.c_str(), 0, nullptr, nullptr);
  if (size == 0) return relative;
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(relative.c_str(), size, &full[0], nullptr);
  if (length == 0 || length >= size) return relative;
  full.resize(length);
  return full;
}

std::wstring SaveFailedMessage(HINSTANCE resources, const std::wstring& path, DWORD error) {
  return ReasonedMessage(resources, IDS_SAVE_FAILED, IDS_SAVE_ADVICE, path, error, L"Cannot save ",
                         L"");
}

std::wstring UnreadableMessage(HINSTANCE resources, const std::wstring& path, DWORD error) {
  return ReasonedMessage(resources, IDS_FILE_UNREADABLE, IDS_FILE_UNREADABLE_ADVICE, path, error,
                         L"Cannot read ",
                         L".\n\nClose the program that is using it, then start VornOption again.");
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
    const std::wstring detail = !leadsTo.empty() ? L"it is a link to " + leadsTo
                                : link.names > 1 ? L"it has " + names + L" names (hard links)"
                                                 : L"it is a link";
    return L"Cannot use " + path + L": " + detail +
           L".\n\nVornOption runs as administrator and does not use linked files. "
           L"Put a plain copy of the file in its place.";
  }
  // The library's text holds "{n}" where the count goes; it is never used as
  // a format string.
  const std::size_t slot = namesText.find(L"{n}");
  if (slot != std::wstring::npos) namesText.replace(slot, 3, names);
  // A link whose target cannot be read gives no detail.
  const std::wstring detail = !leadsTo.empty() ? L"\n" + leadsLabel + L" " + leadsTo
                              : link.names > 1 ? L"\n" + namesText
                                               : L"";
  return what + L"\n\n" + path + detail + L"\n\n" + advice;
}

std::wstring NotReadMessage(HINSTANCE resources, const std::wstring& path, ReadResult result,
                            const FileFound& found) {
  switch (result) {
    case ReadResult::kLinked:
      return LinkedMessage(resources, path, found.link);
    case ReadResult::kTooLarge:
      return TooLargeMessage(resources, path);
    default:
      return UnreadableMessage(resources, path, found.error);
  }
}

void ShowError(HWND owner, const std::wstring& text) {
  MessageBoxW(owner, text.c_str(), L"Vorn", MB_OK | MB_ICONERROR);
}

}  // namespace vorn
