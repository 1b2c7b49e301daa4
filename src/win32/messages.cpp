#include "win32/messages.h"

#include <algorithm>
#include <cwchar>
#include <iterator>

#include "resource_ids.h"
#include "win32/elevated/elevated.h"
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

std::wstring TextOr(HINSTANCE resources, UINT id, const wchar_t* english) {
  const std::wstring text = LoadText(resources, id);
  return text.empty() ? english : text;
}

// A resource text holds "{n}" or "{path}" where a value goes; it is never
// used as a format string.
void FillSlot(std::wstring& text, const wchar_t* slot, const std::wstring& value) {
  const std::size_t at = text.find(slot);
  if (at != std::wstring::npos) text.replace(at, std::wcslen(slot), value);
}

// What to do about a file that cannot be read, by the error that stopped
// the read; the rest of a row's errors are 0.
// What to do about a file that cannot be read, by the reason: at start (then
// start the tool again), and at OK, where the save reads it again first
// (then press OK again).
struct UnreadableAdvice {
  DWORD errors[5];
  UINT id, retryId;
  const wchar_t* english;  // without its ending
};

constexpr UnreadableAdvice kUnreadableAdvice[] = {
    {{ERROR_SHARING_VIOLATION, ERROR_LOCK_VIOLATION},
     IDS_FILE_UNREADABLE_ADVICE,
     IDS_RETRY_HELD,
     L"Close the program that is using it"},
    {{ERROR_DIRECTORY},
     IDS_UNREADABLE_FOLDER,
     IDS_RETRY_FOLDER,
     L"A folder stands in its place. Rename or remove that folder"},
    {{ERROR_ACCESS_DENIED},
     IDS_UNREADABLE_DENIED,
     IDS_RETRY_DENIED,
     L"Make sure that it is not protected against reading and that your account may read the "
     L"game folder"},
    {{ERROR_NOT_READY, ERROR_DEV_NOT_EXIST, ERROR_DEVICE_REMOVED, ERROR_GEN_FAILURE,
      ERROR_NO_MEDIA_IN_DRIVE},
     IDS_UNREADABLE_DRIVE,
     IDS_RETRY_DRIVE,
     L"Reconnect the drive, or insert the disc or memory card"},
    {{ERROR_BAD_NETPATH, ERROR_NETNAME_DELETED, ERROR_UNEXP_NET_ERR, ERROR_BAD_NET_NAME,
      ERROR_NETWORK_UNREACHABLE},
     IDS_UNREADABLE_NETWORK,
     IDS_RETRY_NETWORK,
     L"Check the network connection"},
    {{ERROR_FILENAME_EXCED_RANGE, ERROR_BUFFER_OVERFLOW},
     IDS_UNREADABLE_PATH_TOO_LONG,
     IDS_RETRY_PATH_TOO_LONG,
     L"Move the game to a folder with a shorter path"},
};

constexpr UnreadableAdvice kGenericAdvice = {{},
                                             IDS_UNREADABLE_GENERIC,
                                             IDS_RETRY_GENERIC,
                                             L"Make sure that the file and its drive can be read"};

const UnreadableAdvice& AdviceFor(DWORD error) {
  if (error == ERROR_SUCCESS) return kGenericAdvice;
  for (const UnreadableAdvice& advice : kUnreadableAdvice) {
    if (std::find(std::begin(advice.errors), std::end(advice.errors), error) !=
        std::end(advice.errors)) {
      return advice;
    }
  }
  return kGenericAdvice;
}

// The program's own texts in English, for a program built without them.
struct ProgramText {
  UINT id;
  const wchar_t* english;
};

constexpr ProgramText kProgramTexts[] = {
    {IDS_NO_RESOURCE_LIBRARY,
     L"{path} is missing or cannot be used. Copy the rscdll folder next to VornOption.exe, then "
     L"start VornOption again.\n\nCannot load resource dll."},
    {IDS_DOT_LOCAL_FOUND,
     L"{path} must not stand next to VornOption.exe, which runs as administrator. Delete it, "
     L"then start VornOption again."},
    {IDS_LOADER_FILE_FOUND,
     L"{path} must not stand next to VornOption.exe, which runs as administrator. Delete it, "
     L"then start VornOption again."},
    {IDS_SEARCH_UPDATE_MISSING,
     L"Security update KB2533623 is not installed, so VornOption will not start. Install it from "
     L"Windows Update, then start VornOption again."},
    {IDS_COMMON_CONTROLS_REFUSED,
     L"{path}: VornOption runs as administrator and uses only the common controls in the Windows "
     L"folder."},
};

const wchar_t* EnglishProgramText(UINT id) {
  for (const ProgramText& entry : kProgramTexts) {
    if (entry.id == id) return entry.english;
  }
  return L"{path}";
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
  // A folder in the file's place is the tool's own finding (ERROR_DIRECTORY),
  // and its advice says so already: Windows' line would only repeat it.
  const bool ownFinding = error == ERROR_DIRECTORY;
  return what + L"\n\n" + path + (ownFinding ? L"" : L"\n" + reason) + L"\n\n" + advice;
}

std::wstring InGameFolder(const std::string& path) {
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

}  // namespace

std::wstring FullPath(const FilePlace& place) {
  if (place.root.empty()) return InGameFolder(place.path);
  Win32TextEncoder encoder;
  return encoder.Decode(place.root, CP_UTF8) + L"\\" + encoder.Decode(place.path, CP_UTF8);
}

std::wstring SaveFailedMessage(HINSTANCE resources, const std::wstring& path, DWORD error) {
  return ReasonedMessage(resources, IDS_SAVE_FAILED, IDS_SAVE_ADVICE, path, error, L"Cannot save ",
                         L"");
}

std::wstring UnreadableMessage(HINSTANCE resources, const std::wstring& path, DWORD error) {
  const UnreadableAdvice& advice = AdviceFor(error);
  return ReasonedMessage(
      resources, IDS_FILE_UNREADABLE, advice.id, path, error, L"Cannot read ",
      (L".\n\n" + std::wstring(advice.english) + L", then start VornOption again.").c_str());
}

std::wstring RereadFailedMessage(HINSTANCE resources, const std::wstring& path, DWORD error) {
  const UnreadableAdvice& advice = AdviceFor(error);
  return ReasonedMessage(
      resources, IDS_SAVE_FAILED, advice.retryId, path, error, L"Cannot save ",
      (L".\n\n" + std::wstring(advice.english) + L", then press OK again.").c_str());
}

std::wstring CopyLeftMessage(HINSTANCE resources, const std::wstring& path, DWORD error) {
  return ReasonedMessage(resources, IDS_COPY_LEFT, IDS_COPY_LEFT_ADVICE, path, error,
                         L"Saved, but the game's own copy of the file cannot be deleted: ",
                         L".\n\nThe game reads that copy. Close any program that may be using it, "
                         L"then press OK again, or delete it yourself.");
}

std::wstring PlayerUnknownMessage(HINSTANCE resources) {
  const std::wstring what = LoadText(resources, IDS_PLAYER_UNKNOWN);
  const std::wstring advice = LoadText(resources, IDS_PLAYER_UNKNOWN_ADVICE);
  if (what.empty() || advice.empty()) {
    return L"VornOption cannot tell which Windows account plays the game, so the settings in the "
           L"game folder are used, and no copy Windows may keep for the game is looked for.";
  }
  return what + L"\n\n" + advice;
}

std::wstring SaveResultMessage(HINSTANCE resources, const SaveResult& saved) {
  const std::wstring path = FullPath(saved.path);
  return saved.linked       ? LinkedMessage(resources, path, saved.link)
         : saved.tooLarge   ? TooLargeMessage(resources, path)
         : saved.unreadable ? RereadFailedMessage(resources, path, saved.error)
         : saved.copyLeft   ? CopyLeftMessage(resources, path, saved.error)
                            : SaveFailedMessage(resources, path, saved.error);
}

std::wstring TooLargeMessage(HINSTANCE resources, const std::wstring& path) {
  const std::wstring what = LoadText(resources, IDS_FILE_TOO_LARGE);
  if (what.empty()) return L"Cannot read " + path + L": the file is too large.";
  return what + L"\n\n" + path;
}

std::wstring NoDirect3DMessage(HINSTANCE resources) {
  return TextOr(resources, IDS_NO_DIRECT3D,
                L"DirectX 9 cannot be started, so the graphics card cannot be checked. Install "
                L"DirectX 9 and the card's latest driver, then start VornOption again.");
}

std::wstring SilentCardMessage(HINSTANCE resources) {
  return TextOr(resources, IDS_CARD_SILENT,
                L"The graphics card did not respond, so it cannot be checked. Restart the "
                L"computer or update the graphics card's driver, then start VornOption again.");
}

std::wstring CrashedCardMessage(HINSTANCE resources) {
  return TextOr(resources, IDS_CARD_CRASHED,
                L"The graphics card's driver stopped working, so the graphics card cannot be "
                L"checked. Update the graphics card's driver, then start VornOption again.");
}

std::wstring ProgramMessage(UINT id, const std::wstring& path) {
  // Length 0 answers the stored text itself: no buffer bounds it.
  const wchar_t* stored = nullptr;
  const int length =
      LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<wchar_t*>(&stored), 0);
  std::wstring text = length > 0 && stored ? std::wstring(stored, length) : EnglishProgramText(id);
  FillSlot(text, L"{path}", path);
  return text;
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
  FillSlot(namesText, L"{n}", names);
  // A full-width colon ("链接目标：") carries its own space.
  const wchar_t* gap = leadsLabel.back() == L'\xFF1A' ? L"" : L" ";
  // A link whose target cannot be read gives no detail.
  const std::wstring detail = !leadsTo.empty() ? L"\n" + leadsLabel + gap + leadsTo
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
