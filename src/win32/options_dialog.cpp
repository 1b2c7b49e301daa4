#include "win32/options_dialog.h"

#include <utility>

#include "config/config_reader.h"
#include "resource_ids.h"
#include "win32/framework/app.h"
#include "win32/library_function.h"
#include "win32/messages.h"
#include "win32/text_encoder.h"

namespace vorn {
namespace {

constexpr int kResourceStringLength = 260;
// Posted once the probe finds no Direct3D 9, so that the box is shown over
// the dialog, owned by it, once the dialog is on screen.
constexpr UINT kShowNoDirect3D = WM_APP;
// Posted by the probe once a late answer is there, or its process has ended.
constexpr UINT kProbeDone = WM_APP + 1;
// Fires when the probe's patience runs out.
constexpr UINT_PTR kProbePatienceTimer = 1;

template <typename Function>
Function User32Function(const char* name) {
  return LibraryFunction<Function>(GetModuleHandleW(L"user32.dll"), name);
}

// The window's own DPI (Windows 10 1607 and later, looked up at run time),
// else the system's.
UINT DpiOf(HWND window) {
  if (const auto dpiForWindow = User32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow")) {
    return dpiForWindow(window);
  }
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return static_cast<UINT>(dpi);
}

// A size Windows draws at for the window's own DPI, else for the system's.
int MetricForWindow(HWND window, int metric) {
  if (const auto metricsForDpi =
          User32Function<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi")) {
    return metricsForDpi(metric, DpiOf(window));
  }
  return GetSystemMetrics(metric);
}

HICON LoadDialogIcon(HWND window, int metricX, int metricY) {
  return static_cast<HICON>(
      LoadImageW(App::Current()->ResourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                 MetricForWindow(window, metricX), MetricForWindow(window, metricY), 0));
}

void DestroyIcons(HICON icon, HICON smallIcon) {
  if (icon) DestroyIcon(icon);
  if (smallIcon) DestroyIcon(smallIcon);
}

}  // namespace

struct OptionsDialog::CommandEntry {
  WORD code;
  WORD id;
  void (OptionsDialog::*handler)();
};

// The message map for commands; WM_PAINT and WM_QUERYDRAGICON are in OnMessage.
const OptionsDialog::CommandEntry OptionsDialog::kCommands[] = {
    {BN_CLICKED, IDC_RECOMMENDED, &OptionsDialog::OnRecommendedClicked},
    {CBN_SELCHANGE, IDC_SHADER_VERSION, &OptionsDialog::OnShaderVersionChanged},
    {CBN_SELCHANGE, IDC_OCEAN, &OptionsDialog::OnOceanChanged},
    {CBN_SELCHANGE, IDC_TREE, &OptionsDialog::OnTreeChanged},
    {BN_CLICKED, IDOK, &OptionsDialog::OnBnClickedOk},
};

OptionsDialog::OptionsDialog(SettingsStore& store, Tooltip& tooltip, BackgroundProbe& probe,
                             HWND parent)
    : Dialog(IDD_OPTIONS, parent),
      store_(store),
      tooltip_(tooltip),
      probe_(probe),
      behaviour_(store, *this, *this) {}

OptionsDialog::~OptionsDialog() { DestroyIcons(icon_, smallIcon_); }

// Drawn for the dialog's DPI, so that no scaling stretches a smaller image;
// loaded again when the dialog moves to a monitor of another DPI. The window
// holds the new icons before the old ones are destroyed.
void OptionsDialog::SetIcons() {
  const HICON oldIcon = std::exchange(icon_, LoadDialogIcon(hwnd(), SM_CXICON, SM_CYICON));
  const HICON oldSmallIcon =
      std::exchange(smallIcon_, LoadDialogIcon(hwnd(), SM_CXSMICON, SM_CYSMICON));
  SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
  DestroyIcons(oldIcon, oldSmallIcon);
}

void OptionsDialog::DoDataExchange(const DataExchange& dx) {
  dx.Text(IDC_ADAPTER, adapterDescription_);
  dx.Control(IDC_SHADER_VERSION, shaderVersion_);
  dx.Control(IDC_RESOLUTION, resolution_);
  dx.Control(IDC_TEXTURE, texture_);
  dx.Control(IDC_OCEAN, ocean_);
  dx.Control(IDC_HEIGHTFIELD, heightField_);
  dx.Control(IDC_OBJECT, object_);
  dx.Control(IDC_SKY, sky_);
  dx.Control(IDC_CHARACTER, character_);
  dx.Control(IDC_TREE, tree_);
  dx.Control(IDC_AUDIO, audio_);
  dx.Control(IDC_SHADOWMAP, shadowmap_);
  dx.Control(IDC_WATER_REFLECTION, waterReflection_);
  dx.Control(IDC_GLARE_RENDER, glareRender_);
  dx.Control(IDC_TREE_NORMAL_MAP, treeNormalMap_);
  dx.Control(IDC_WINDOW_MODE, windowMode_);
  dx.Control(IDC_VSYNC, vsync_);
}

BOOL OptionsDialog::OnInitDialog() {
  Dialog::OnInitDialog();
  SetIcons();
  SetWindowTextW(hwnd(), L"VornOption");
  // The player starts on the first list; the video card's field before it is
  // a tab stop only so that screen readers reach it.
  SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(shaderVersion_.hwnd), TRUE);

  ShowInitialized(behaviour_.Initialize(probe_));
  return FALSE;  // the focus is set
}

void OptionsDialog::ShowInitialized(OptionsBehaviour::InitResult result) {
  switch (result) {
    case OptionsBehaviour::InitResult::kNoDirect3D:
      // Empty lists must never be saved over the player's configuration.
      EnableWindow(GetDlgItem(hwnd(), IDOK), FALSE);
      if (probe_.Result() == BackgroundProbe::Outcome::kWaiting) {
        // A slow driver: the dialog opens now and fills itself once the
        // answer comes, or tells the player when the patience runs out.
        waitingForProbe_ = true;
        SetTimer(hwnd(), kProbePatienceTimer, probe_.PatienceLeft(), nullptr);
        probe_.NotifyWhenDone(hwnd(), kProbeDone);
        return;
      }
      PostMessageW(hwnd(), kShowNoDirect3D, 0, 0);
      return;
    case OptionsBehaviour::InitResult::kGameFileTooLarge:
    case OptionsBehaviour::InitResult::kGameFileLinked:
    case OptionsBehaviour::InitResult::kGameFileUnreadable:
      // Nothing of a Vorn.cfg that was not read may be shown or saved.
      ShowError(nullptr, NotReadMessage(App::Current()->ResourceHandle(),
                                        FullPath(ReadPlace(store_, kGameConfigFile)),
                                        behaviour_.GameFileRead(), behaviour_.GameFile()));
      EndDialog(IDCANCEL);
      return;
    case OptionsBehaviour::InitResult::kReady:
      EnableWindow(GetDlgItem(hwnd(), IDOK), TRUE);
      tooltip_.AddTool(hwnd(), vsync_.hwnd, IDS_VSYNC_TIP);
      tooltip_.ScaleToDpi(DpiOf(hwnd()));
      return;
  }
}

// The probe's late answer, its end without one, or the end of its patience;
// whichever comes first is taken, the others find nothing left to wait for.
void OptionsDialog::OnProbeDone(bool givingUp) {
  if (!waitingForProbe_) return;
  waitingForProbe_ = false;
  KillTimer(hwnd(), kProbePatienceTimer);
  probe_.NotifyWhenDone(nullptr, 0);
  if (givingUp) probe_.GiveUp();
  ShowInitialized(behaviour_.Initialize(probe_));
}

std::wstring OptionsDialog::NoCardMessage() const {
  const HINSTANCE resources = App::Current()->ResourceHandle();
  switch (probe_.Result()) {
    case BackgroundProbe::Outcome::kHung:
      return SilentCardMessage(resources);
    case BackgroundProbe::Outcome::kNoAnswer:
      return CrashedCardMessage(resources);
    default:
      return NoDirect3DMessage(resources);
  }
}

bool OptionsDialog::OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR& result) {
  switch (message) {
    case WM_PAINT:
      if (!IsIconic(hwnd())) return false;
      OnPaint();
      return true;
    case WM_QUERYDRAGICON:
      result = reinterpret_cast<INT_PTR>(icon_);
      return true;
    case kShowNoDirect3D:
      ShowError(hwnd(), NoCardMessage());
      return true;
    case kProbeDone:
      OnProbeDone(false);
      return true;
    case WM_TIMER:
      if (wParam != kProbePatienceTimer) return false;
      OnProbeDone(true);
      return true;
    case WM_DESTROY:
      // Nothing is posted to a window that is gone; the probe ends with the tool.
      if (waitingForProbe_) probe_.NotifyWhenDone(nullptr, 0);
      return false;
    case WM_DPICHANGED:
      SetIcons();
      tooltip_.ScaleToDpi(LOWORD(wParam));
      return false;  // the system still moves and scales the dialog
    case WM_COMMAND:
      for (const CommandEntry& entry : kCommands) {
        if (entry.code == HIWORD(wParam) && entry.id == LOWORD(wParam)) {
          (this->*entry.handler)();
          return true;
        }
      }
      return false;
    default:
      return false;
  }
}

void OptionsDialog::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd(), &paint);
  SendMessageW(hwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client;
  GetClientRect(hwnd(), &client);
  const int x = (client.right - client.left - MetricForWindow(hwnd(), SM_CXICON) + 1) / 2;
  const int y = (client.bottom - client.top - MetricForWindow(hwnd(), SM_CYICON) + 1) / 2;
  DrawIcon(dc, x, y, icon_);
  EndPaint(hwnd(), &paint);
}

void OptionsDialog::OnBnClickedOk() {
  if (!behaviour_.CanSave()) return;
  Win32TextEncoder encoder;
  const SaveResult saved = behaviour_.ApplySettings(encoder);
  if (!saved.ok || saved.copyLeft) {
    // Keep the player's choices on screen so that they can retry or cancel.
    ShowError(hwnd(), SaveResultMessage(App::Current()->ResourceHandle(), saved));
    return;
  }
  OnOK();
}

ComboBox& OptionsDialog::List(int id) {
  static constexpr std::pair<int, ComboBox OptionsDialog::*> kLists[] = {
      {IDC_SHADER_VERSION, &OptionsDialog::shaderVersion_},
      {IDC_RESOLUTION, &OptionsDialog::resolution_},
      {IDC_TEXTURE, &OptionsDialog::texture_},
      {IDC_HEIGHTFIELD, &OptionsDialog::heightField_},
      {IDC_OBJECT, &OptionsDialog::object_},
      {IDC_OCEAN, &OptionsDialog::ocean_},
      {IDC_SKY, &OptionsDialog::sky_},
      {IDC_CHARACTER, &OptionsDialog::character_},
      {IDC_TREE, &OptionsDialog::tree_},
      {IDC_AUDIO, &OptionsDialog::audio_},
  };
  for (const auto& [itemId, member] : kLists) {
    if (itemId == id) return this->*member;
  }
  static ComboBox none;  // no window: every message to it fails
  return none;
}

Button& OptionsDialog::Check(int id) {
  static constexpr std::pair<int, Button OptionsDialog::*> kChecks[] = {
      {IDC_SHADOWMAP, &OptionsDialog::shadowmap_},
      {IDC_WATER_REFLECTION, &OptionsDialog::waterReflection_},
      {IDC_GLARE_RENDER, &OptionsDialog::glareRender_},
      {IDC_TREE_NORMAL_MAP, &OptionsDialog::treeNormalMap_},
      {IDC_WINDOW_MODE, &OptionsDialog::windowMode_},
      {IDC_VSYNC, &OptionsDialog::vsync_},
  };
  for (const auto& [itemId, member] : kChecks) {
    if (itemId == id) return this->*member;
  }
  static Button none;
  return none;
}

int OptionsDialog::AddString(int id, const std::wstring& text) {
  return List(id).AddString(text.c_str());
}

std::wstring OptionsDialog::GetText(int id) {
  if (id == IDC_ADAPTER) {
    UpdateData(true);
    return adapterDescription_;
  }
  return List(id).Text();
}

void OptionsDialog::SetText(int id, const std::wstring& text) {
  if (id == IDC_ADAPTER) {
    adapterDescription_ = text;
    UpdateData(false);
  }
}

std::wstring OptionsDialog::Load(int id) {
  wchar_t text[kResourceStringLength] = {};
  LoadStringW(App::Current()->ResourceHandle(), static_cast<UINT>(id), text, kResourceStringLength);
  return text;
}

}  // namespace vorn
