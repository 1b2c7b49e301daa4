#include "win32/vorn_option_app.h"

#include "config/config_reader.h"
#include "config/settings_store.h"
#include "resource_ids.h"
#include "win32/elevated/elevated.h"
#include "win32/messages.h"
#include "win32/options_dialog.h"
#include "win32/process_check.h"
#include "win32/text_encoder.h"

namespace vorn {
namespace {

constexpr int kResourceStringLength = 260;
constexpr wchar_t kCaption[] = L"Vorn";
constexpr wchar_t kGameClient[] = L"VornClient.exe";

// The one settings store of the process.
SettingsStore g_settings;
Win32TextEncoder g_textEncoder;

}  // namespace

bool VornOptionApp::InitInstance() {
  g_settings.textEncoder = &g_textEncoder;
  // A game client Windows virtualizes reads its own copies of both files.
  const ClientCopies copies = GameClientCopies();
  g_settings.gameCopies = copies.place;
  FileFound safeModeFound;
  const ReadResult safeMode = ReadSafeModeConfig(g_settings, &safeModeFound);

  savedResourceHandle_ = ResourceHandle();
  if (!savedResourceHandle_) {
    MessageBoxW(nullptr, L"Cannot get resource dll.", kCaption, MB_ICONERROR);
    return false;
  }
  const char* region = g_settings.RegionCode();
  const int codePage = g_settings.RegionCodePage();
  resourceLibrary_ = LoadResourceLibrary(region, codePage);
  if (!resourceLibrary_) {
    // In the program's own texts, naming the file it looked for.
    std::wstring path = ResourceLibraryPath(region, codePage);
    if (path.empty()) path = ResourceLibraryName(region, codePage);
    ShowError(nullptr, ProgramMessage(IDS_NO_RESOURCE_LIBRARY, path));
    return false;
  }
  SetResourceHandle(resourceLibrary_);

  wchar_t text[kResourceStringLength] = {};
  if (IsProcessRunning(kGameClient)) {
    wchar_t caption[kResourceStringLength] = {};
    LoadStringW(resourceLibrary_, IDS_GAME_RUNNING_TEXT, text, kResourceStringLength);
    LoadStringW(resourceLibrary_, IDS_GAME_RUNNING_CAPTION, caption, kResourceStringLength);
    MessageBoxW(nullptr, text, caption, MB_ICONERROR);
    probe_.End();
    ExitInstance();
    ExitProcess(1);
  }
  // Said once the player's language is known; the tool goes on with the game
  // folder's files.
  if (copies.playerUnknown) ShowError(nullptr, PlayerUnknownMessage(resourceLibrary_));
  if (safeMode != ReadResult::kRead && safeMode != ReadResult::kNotRead) {
    // Shown once the player's language is known; ends as normally as a Cancel.
    ShowError(nullptr,
              NotReadMessage(resourceLibrary_, FullPath(ReadPlace(g_settings, kSafeModeConfigFile)),
                             safeMode, safeModeFound));
    return false;
  }
  LoadStringW(resourceLibrary_, IDS_REGISTRY_KEY, text, kResourceStringLength);
  SetRegistryKey(text);

  // The dialog is the main window; it has no window yet, so the tooltip
  // window is made without owner.
  OptionsDialog dialog(g_settings, tooltip_, probe_);
  tooltip_.Create(nullptr);
  dialog.DoModal();  // saving happens in the dialog's OK handler
  return false;
}

int VornOptionApp::ExitInstance() {
  if (savedResourceHandle_) SetResourceHandle(savedResourceHandle_);
  if (resourceLibrary_) FreeLibrary(resourceLibrary_);
  resourceLibrary_ = nullptr;
  return App::ExitInstance();
}

bool VornOptionApp::PreTranslateMessage(MSG* msg) {
  tooltip_.Relay(msg);
  return App::PreTranslateMessage(msg);
}

}  // namespace vorn
