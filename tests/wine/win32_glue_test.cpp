// The Win32 glue against the real system: the resource library mapped as
// data, the process check, the tooltip, the modal dialog and its loop.
#include <windows.h>
#include <d3d9.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>

#include "resource_ids.h"
#include "win32/framework/app.h"
#include "win32/framework/dialog.h"
#include "win32/background_probe.h"
#include "win32/d3d9_probe.h"
#include "win32/options_dialog.h"
#include "win32/process_check.h"
#include "win32/elevated/elevated.h"
#include "win32/elevated/plain_file.h"
#include "win32/messages.h"
#include "win32/system_error.h"
#include "win32/tooltip.h"

namespace vorn {
namespace {

// The built tool, which the tests start as the probe's process.
constexpr wchar_t kTool[] = L"" VORN_DIST_DIR L"\\VornOption.exe";

// Runs each test in the built game folder, where rscdll/ is.
class GameFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GetCurrentDirectoryW(MAX_PATH, previous_);
    ASSERT_TRUE(SetCurrentDirectoryW(L"" VORN_DIST_DIR));
    library_ = LoadResourceLibrary("KR", 949);
    ASSERT_NE(library_, nullptr);
    app_.SetResourceHandle(library_);
  }
  void TearDown() override {
    if (library_) FreeLibrary(library_);
    SetCurrentDirectoryW(previous_);
  }

  std::wstring LoadText(UINT id) {
    wchar_t text[260] = {};
    LoadStringW(library_, id, text, 260);
    return text;
  }

  App app_;
  HMODULE library_ = nullptr;
  wchar_t previous_[MAX_PATH] = {};
};

TEST_F(GameFolderTest, ResourceLibraryIsMappedAsDataOnly) {
  // A data-file mapping is marked in the handle's low bits.
  EXPECT_NE(reinterpret_cast<ULONG_PTR>(library_) & 3, 0u);
}

TEST_F(GameFolderTest, ASaveFailureIsWordedByTheLibraryWithPathReasonAndAdvice) {
  const std::wstring path = L"C:\\Games\\Vorn\\Vorn.cfg";
  const std::wstring message = SaveFailedMessage(library_, path, ERROR_DISK_FULL);
  for (const std::wstring& part : {LoadText(IDS_SAVE_FAILED), path,
                                   SystemErrorText(ERROR_DISK_FULL), LoadText(IDS_SAVE_ADVICE)}) {
    EXPECT_FALSE(part.empty());
    EXPECT_NE(message.find(part), std::wstring::npos) << "a part is missing";
  }
  EXPECT_NE(TooLargeMessage(library_, path).find(LoadText(IDS_FILE_TOO_LARGE)), std::wstring::npos);
}

TEST_F(GameFolderTest, ALinkedFileIsWordedWithWhereItLeadsOrItsNamesButNoContent) {
  const std::wstring path = L"C:\\Games\\Vorn\\Vorn.cfg";
  LinkedFile symbolic;
  symbolic.leadsTo = "C:\\Users\\admin\\secret.txt";
  const std::wstring toTarget = LinkedMessage(library_, path, symbolic);
  for (const std::wstring& part :
       {LoadText(IDS_FILE_LINKED), path, LoadText(IDS_LINK_LEADS_TO),
        std::wstring(L"C:\\Users\\admin\\secret.txt"), LoadText(IDS_LINK_ADVICE)}) {
    EXPECT_NE(toTarget.find(part), std::wstring::npos) << "a part is missing: " << toTarget.size();
  }
  LinkedFile hard;
  hard.names = 3;
  const std::wstring names = LinkedMessage(library_, path, hard);
  std::wstring count = LoadText(IDS_LINK_NAMES);
  count.replace(count.find(L"{n}"), 3, L"3");
  EXPECT_NE(names.find(count), std::wstring::npos) << "the count in place of {n}";
  EXPECT_EQ(names.find(L"{n}"), std::wstring::npos);
  EXPECT_EQ(names.find(LoadText(IDS_LINK_LEADS_TO)), std::wstring::npos);
}

// The advice follows the reason the file could not be read, at start and,
// in the form that ends in pressing OK again, at OK.
TEST_F(GameFolderTest, AnUnreadableFileGetsTheAdviceForItsError) {
  const std::wstring path = L"C:\\Games\\Vorn\\Vorn.cfg";
  struct Expected {
    DWORD error;
    UINT atStart, atOk;
  };
  const Expected expected[] = {
      {ERROR_DIRECTORY, IDS_UNREADABLE_FOLDER, IDS_RETRY_FOLDER},
      {ERROR_SHARING_VIOLATION, IDS_FILE_UNREADABLE_ADVICE, IDS_RETRY_HELD},
      {ERROR_LOCK_VIOLATION, IDS_FILE_UNREADABLE_ADVICE, IDS_RETRY_HELD},
      {ERROR_ACCESS_DENIED, IDS_UNREADABLE_DENIED, IDS_RETRY_DENIED},
      {ERROR_NOT_READY, IDS_UNREADABLE_DRIVE, IDS_RETRY_DRIVE},
      {ERROR_BAD_NETPATH, IDS_UNREADABLE_NETWORK, IDS_RETRY_NETWORK},
      {ERROR_FILENAME_EXCED_RANGE, IDS_UNREADABLE_PATH_TOO_LONG, IDS_RETRY_PATH_TOO_LONG},
      {ERROR_INVALID_FUNCTION, IDS_UNREADABLE_GENERIC, IDS_RETRY_GENERIC},
  };
  for (const Expected& one : expected) {
    const std::wstring atStart = UnreadableMessage(library_, path, one.error);
    const std::wstring atOk = RereadFailedMessage(library_, path, one.error);
    EXPECT_NE(atStart.find(LoadText(IDS_FILE_UNREADABLE)), std::wstring::npos) << one.error;
    EXPECT_NE(atOk.find(LoadText(IDS_SAVE_FAILED)), std::wstring::npos) << one.error;
    for (const std::wstring& message : {atStart, atOk}) {
      EXPECT_NE(message.find(path), std::wstring::npos) << one.error;
      // Windows' reason line, but where the tool found a folder itself.
      EXPECT_EQ(message.find(SystemErrorText(one.error)) != std::wstring::npos,
                one.error != ERROR_DIRECTORY)
          << "error " << one.error;
    }
    for (const Expected& other : expected) {
      EXPECT_EQ(atStart.find(LoadText(other.atStart)) != std::wstring::npos,
                other.atStart == one.atStart)
          << "error " << one.error << ": advice " << other.atStart << " at start";
      EXPECT_EQ(atOk.find(LoadText(other.atOk)) != std::wstring::npos, other.atOk == one.atOk)
          << "error " << one.error << ": advice " << other.atOk << " at OK";
    }
  }
}

TEST(Messages, ALibraryWithoutTheTextsGetsEnglishWithTheFullPath) {
  HMODULE noTexts = GetModuleHandleW(nullptr);  // this test program has no string table
  std::wstring reason = SystemErrorText(ERROR_DISK_FULL);
  if (!reason.empty() && reason.back() == L'.') reason.pop_back();
  EXPECT_EQ(SaveFailedMessage(noTexts, L"C:\\Vorn.cfg", ERROR_DISK_FULL),
            L"Cannot save C:\\Vorn.cfg: " + reason);
  EXPECT_EQ(TooLargeMessage(noTexts, L"C:\\Vorn.cfg"),
            L"Cannot read C:\\Vorn.cfg: the file is too large.");
  LinkedFile hard;
  hard.names = 2;
  EXPECT_EQ(LinkedMessage(noTexts, L"C:\\Vorn.cfg", hard),
            L"Cannot use C:\\Vorn.cfg: it has 2 names (hard links).\n\nVornOption runs as "
            L"administrator and does not use linked files. Put a plain copy of the file in its "
            L"place.");
  EXPECT_NE(UnreadableMessage(noTexts, L"C:\\Vorn.cfg", ERROR_DIRECTORY).find(L"Rename or remove"),
            std::wstring::npos);
  EXPECT_NE(NoDirect3DMessage(noTexts).find(L"DirectX 9"), std::wstring::npos);
}

// This test program has no texts of its own: the short English ones, the
// path in place, the missing library's ending on its own line.
TEST(Messages, TheProgramsOwnTextsNameThePath) {
  const std::wstring path = L"C:\\Games\\Vorn\\rscdll\\VornOptionKR.dll";
  const std::wstring missing = ProgramMessage(IDS_NO_RESOURCE_LIBRARY, path);
  EXPECT_EQ(missing.find(path), 0u) << "the path first";
  const std::wstring lastLine = L"\nCannot load resource dll.";
  EXPECT_EQ(missing.rfind(lastLine), missing.size() - lastLine.size()) << "its last line";
  const std::wstring dotLocal =
      ProgramMessage(IDS_DOT_LOCAL_FOUND, L"C:\\Vorn\\VornOption.exe.local");
  EXPECT_EQ(dotLocal.find(L"C:\\Vorn\\VornOption.exe.local must not"), 0u) << "the path first";
  EXPECT_EQ(dotLocal.find(L"{path}"), std::wstring::npos);
}

TEST(Messages, NamesAConfigurationFileByItsFullPath) {
  wchar_t folder[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, folder);
  EXPECT_EQ(FullPath(".\\Vorn.cfg"), std::wstring(folder) + L"\\Vorn.cfg");
}

TEST(ResourceLibrary, AMissingRegionLibraryIsNotLoaded) {
  EXPECT_EQ(LoadResourceLibrary("XX", 949), nullptr);
}

TEST(ProcessCheck, FindsARunningProcessInAnyLetterCase) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring name = wcsrchr(path, L'\\') + 1;
  for (wchar_t& c : name) c = static_cast<wchar_t>(towupper(c));
  EXPECT_TRUE(IsProcessRunning(name.c_str())) << "expected to find " << name.size() << " chars";
  EXPECT_FALSE(IsProcessRunning(L"VornClient.exe"));
}

TEST_F(GameFolderTest, TooltipKeepsALongTipUpForThirtySecondsAndWrapsItAsWideAtEveryDpi) {
  Tooltip tooltip;
  tooltip.Create(nullptr);
  ASSERT_NE(tooltip.hwnd(), nullptr);
  HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                               nullptr, nullptr);
  HWND box = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | BS_AUTOCHECKBOX, 0, 0, 50, 20, owner,
                             nullptr, nullptr, nullptr);
  tooltip.AddTool(owner, box, IDS_VSYNC_TIP);
  EXPECT_EQ(SendMessageW(tooltip.hwnd(), TTM_GETTOOLCOUNT, 0, 0), 1);
  EXPECT_EQ(SendMessageW(tooltip.hwnd(), TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 30000);
  for (const auto& [dpi, width] : {std::pair{96u, 300}, {144u, 450}, {192u, 600}}) {
    tooltip.ScaleToDpi(dpi);
    EXPECT_EQ(SendMessageW(tooltip.hwnd(), TTM_GETMAXTIPWIDTH, 0, 0), width) << "at " << dpi;
  }

  wchar_t text[260] = {};
  TOOLINFOW tool = {};
  tool.cbSize = sizeof(tool);
  tool.hwnd = owner;
  tool.uId = reinterpret_cast<UINT_PTR>(box);
  tool.lpszText = text;
  SendMessageW(tooltip.hwnd(), TTM_GETTEXTW, 260, reinterpret_cast<LPARAM>(&tool));
  EXPECT_EQ(std::wstring(text), LoadText(IDS_VSYNC_TIP));
  DestroyWindow(owner);
}

// Ends itself from its first message; counts what the loop showed the app.
class SelfClosingDialog : public Dialog {
 public:
  SelfClosingDialog() : Dialog(IDD_OPTIONS, nullptr) {}
  std::wstring adapter = L"ATI Radeon HD 2600";
  std::wstring readBack;

 protected:
  BOOL OnInitDialog() override {
    Dialog::OnInitDialog();
    PostMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return TRUE;
  }
  void DoDataExchange(const DataExchange& dx) override { dx.Text(IDC_ADAPTER, adapter); }
  void OnCancel() override {
    shown = Window{GetDlgItem(hwnd(), IDC_ADAPTER)}.Text();
    adapter = L"not what the control shows";
    UpdateData(true);
    readBack = adapter;
    Dialog::OnCancel();
  }

 public:
  std::wstring shown;
};

class CountingApp : public App {
 public:
  bool PreTranslateMessage(MSG*) override {
    ++seen;
    return false;
  }
  int seen = 0;
};

TEST(ModalDialog, RunsItsOwnLoopThroughTheApplicationsFilter) {
  wchar_t previous[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, previous);
  ASSERT_TRUE(SetCurrentDirectoryW(L"" VORN_DIST_DIR));
  CountingApp app;
  HMODULE library = LoadResourceLibrary("KR", 949);
  app.SetResourceHandle(library);
  SelfClosingDialog dialog;
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_GT(app.seen, 0);
  EXPECT_EQ(dialog.shown, L"ATI Radeon HD 2600") << "text 1000 shows the member";
  EXPECT_EQ(dialog.readBack, L"ATI Radeon HD 2600") << "and the member reads it back";
  EXPECT_EQ(dialog.hwnd(), nullptr);
  FreeLibrary(library);
  SetCurrentDirectoryW(previous);
}

// Notes whether a window was ever given an icon while the one it held was
// already destroyed (a dead handle in its title bar until then).
LRESULT CALLBACK WatchHeldIcons(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR heldDeadIcon) {
  if (message == WM_SETICON) {
    const auto held = reinterpret_cast<HICON>(DefSubclassProc(window, WM_GETICON, wParam, 0));
    ICONINFO info = {};
    if (held && !GetIconInfo(held, &info)) *reinterpret_cast<bool*>(heldDeadIcon) = true;
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

bool IsLiveIcon(LRESULT icon) {
  ICONINFO info = {};
  if (!GetIconInfo(reinterpret_cast<HICON>(icon), &info)) return false;
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return true;
}

// The real Options dialog, closed as soon as it has initialised. Icons are
// checked here: Wine answers WM_GETICON only within the window's process.
class ClosingOptionsDialog : public OptionsDialog {
 public:
  ClosingOptionsDialog(SettingsStore& store, Tooltip& tooltip, BackgroundProbe& probe)
      : OptionsDialog(store, tooltip, probe), tips_(tooltip) {}
  LRESULT bigIcon = 0, smallIcon = 0;
  std::wstring title;
  int focus = 0;
  std::map<UINT, LRESULT> tipWidths;  // DPI -> the tooltip's wrapping width
  bool heldDeadIcon = false;
  bool oldIconsDestroyed = false, newIconsLive = false;

 protected:
  BOOL OnInitDialog() override {
    const BOOL result = OptionsDialog::OnInitDialog();
    bigIcon = SendMessageW(hwnd(), WM_GETICON, ICON_BIG, 0);
    smallIcon = SendMessageW(hwnd(), WM_GETICON, ICON_SMALL, 0);
    title = Window{hwnd()}.Text();
    focus = GetDlgCtrlID(GetFocus());
    tipWidths[96] = SendMessageW(tips_.hwnd(), TTM_GETMAXTIPWIDTH, 0, 0);

    // Moved to a monitor at 200 % and back to one at 150 %.
    SetWindowSubclass(hwnd(), &WatchHeldIcons, 1, reinterpret_cast<DWORD_PTR>(&heldDeadIcon));
    for (UINT dpi : {192u, 144u}) {
      RECT suggested = {};
      GetWindowRect(hwnd(), &suggested);
      SendMessageW(hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                   reinterpret_cast<LPARAM>(&suggested));
      tipWidths[dpi] = SendMessageW(tips_.hwnd(), TTM_GETMAXTIPWIDTH, 0, 0);
    }
    RemoveWindowSubclass(hwnd(), &WatchHeldIcons, 1);
    oldIconsDestroyed = !IsLiveIcon(bigIcon) && !IsLiveIcon(smallIcon);
    newIconsLive = IsLiveIcon(SendMessageW(hwnd(), WM_GETICON, ICON_BIG, 0)) &&
                   IsLiveIcon(SendMessageW(hwnd(), WM_GETICON, ICON_SMALL, 0));
    EndDialog(IDCANCEL);
    return result;
  }

 private:
  Tooltip& tips_;
};

TEST_F(GameFolderTest, OptionsDialogSetsItsIconsTitleAndFocusAndRescalesWhenTheDpiChanges) {
  SettingsStore store;
  Tooltip tooltip;
  tooltip.Create(nullptr);
  BackgroundProbe probe(kTool);
  ClosingOptionsDialog dialog(store, tooltip, probe);
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_NE(dialog.bigIcon, 0);
  EXPECT_NE(dialog.smallIcon, 0);
  EXPECT_EQ(dialog.title, L"VornOption");
  EXPECT_EQ(dialog.focus, IDC_SHADER_VERSION) << "the first list, not the video card's field";
  EXPECT_EQ(SendMessageW(tooltip.hwnd(), TTM_GETTOOLCOUNT, 0, 0), 1) << "the VSync tip";

  const std::map<UINT, LRESULT> expected = {{96, 300}, {144, 450}, {192, 600}};
  EXPECT_EQ(dialog.tipWidths, expected) << "the prefix runs at 96 DPI";
  EXPECT_FALSE(dialog.heldDeadIcon) << "the window held a destroyed icon";
  EXPECT_TRUE(dialog.oldIconsDestroyed);
  EXPECT_TRUE(dialog.newIconsLive);
}

// ---- The probe's process ---------------------------------------------------

// The stand-in for the probe's process, told what to do.
std::wstring StandIn(const wchar_t* mode) {
  SetEnvironmentVariableW(L"VORN_STAND_IN", mode);
  return L"" VORN_E2E_DIR L"\\probe_stand_in.exe";
}

DWORD MillisecondsSince(DWORD start) { return GetTickCount() - start; }

// The tool started as its own probe gives what Direct3D 9 gives here, and
// the display modes are listed without it.
TEST(BackgroundProbeTest, TheToolsOwnProcessAnswersAsDirect3DDoesHere) {
  D3D9Probe direct;
  ASSERT_TRUE(direct.CreateDirect3D());
  BackgroundProbe probe(kTool);
  ASSERT_TRUE(probe.CreateDirect3D());
  EXPECT_EQ(probe.Result(), BackgroundProbe::Outcome::kAnswered);
  EXPECT_EQ(probe.AdapterDescription(), direct.AdapterDescription());
  EXPECT_EQ(probe.PixelShaderVersion(), direct.PixelShaderVersion());
  const std::vector<DisplayMode> modes = probe.DisplayModes(), expected = ListDisplayModes();
  ASSERT_EQ(modes.size(), expected.size());
  for (std::size_t i = 0; i < modes.size(); ++i) {
    EXPECT_EQ(modes[i].width, expected[i].width) << i;
    EXPECT_EQ(modes[i].height, expected[i].height) << i;
  }
  probe.ReleaseDirect3D();
  direct.ReleaseDirect3D();
}

// DXGI knows the adapter Direct3D 9 names by the same PCI IDs, and tells its
// own video memory.
TEST(BackgroundProbeTest, DxgiKnowsTheAdapterDirect3DNames) {
  D3D9Probe direct;
  ASSERT_TRUE(direct.CreateDirect3D());
  EXPECT_FALSE(ListDxgiAdapters().empty());
  EXPECT_GT(direct.DedicatedVideoMemory(), 0u);
  BackgroundProbe probe(kTool);
  ASSERT_TRUE(probe.CreateDirect3D());
  EXPECT_EQ(probe.DedicatedVideoMemory(), direct.DedicatedVideoMemory());
  direct.ReleaseDirect3D();
}

TEST(BackgroundProbeTest, TheCardIsNamedAfterTheLastAdapter) {
  BackgroundProbe probe(StandIn(L"two-adapters"));
  ASSERT_TRUE(probe.CreateDirect3D());
  EXPECT_EQ(probe.AdapterDescription(), L"Second Card");
  EXPECT_EQ(probe.PixelShaderVersion(), D3DPS_VERSION(2, 0));
}

// A driver that crashes, an answer cut or garbled, none at all: no answer,
// known as soon as the process ends, with no error report waited for.
TEST(BackgroundProbeTest, AProcessThatEndsWithoutAWholeAnswerGaveNone) {
  for (const wchar_t* mode : {L"crash", L"garbled", L"silent"}) {
    const DWORD start = GetTickCount();
    BackgroundProbe probe(StandIn(mode));
    EXPECT_FALSE(probe.CreateDirect3D()) << mode;
    EXPECT_EQ(probe.Result(), BackgroundProbe::Outcome::kNoAnswer) << mode;
    EXPECT_EQ(probe.AdapterDescription(), L"") << mode;
    EXPECT_LT(MillisecondsSince(start), kDialogWaitMs) << mode << ": waited for the dialog's time";
  }
}

TEST(BackgroundProbeTest, GarbledRecordsAreNoAnswers) {
  const std::string whole = EncodeProbeAnswer({true, L"Card", D3DPS_VERSION(3, 0)});
  ProbeAnswer decoded;
  ASSERT_TRUE(DecodeProbeAnswer(whole, decoded));
  EXPECT_EQ(decoded.description, L"Card");
  EXPECT_EQ(decoded.shaderVersion, D3DPS_VERSION(3, 0));
  EXPECT_TRUE(decoded.created);
  std::string flipped = whole;
  flipped[0] ^= 1;
  std::string overlong = whole;
  overlong[16] = 99;  // the description's length
  const std::string memory = EncodeVideoMemory(uint64_t{6} << 30);
  for (const std::string& bytes :
       {std::string(), whole.substr(0, whole.size() - 1), whole + "x", flipped, overlong, memory}) {
    EXPECT_FALSE(DecodeProbeAnswer(bytes, decoded)) << bytes.size() << " bytes";
  }
  uint64_t videoMemory = 0;
  ASSERT_TRUE(DecodeVideoMemory(memory, videoMemory));
  EXPECT_EQ(videoMemory, uint64_t{6} << 30) << "all 64 bits";
  EXPECT_FALSE(DecodeVideoMemory(memory + "x", videoMemory));
  EXPECT_FALSE(DecodeVideoMemory(whole, videoMemory));
}

// A driver that hangs: the wait ends with the dialog's time, the process
// goes on until its patience runs out, and is then ended.
TEST(BackgroundProbeTest, AProcessThatNeverAnswersIsGivenUpOn) {
  const DWORD start = GetTickCount();
  {
    BackgroundProbe probe(StandIn(L"hang"), 300, 1000);
    EXPECT_FALSE(probe.CreateDirect3D());
    EXPECT_EQ(probe.Result(), BackgroundProbe::Outcome::kWaiting);
    EXPECT_FALSE(probe.DisplayModes().empty()) << "the display's modes need no Direct3D";
    EXPECT_LE(probe.PatienceLeft(), 1000u);
    probe.GiveUp();
    EXPECT_EQ(probe.Result(), BackgroundProbe::Outcome::kHung);
  }
  EXPECT_LT(MillisecondsSince(start), 3000u) << "waited for the hung process";
}

// A slow driver: the wait ends without the answer, which is posted to the
// window that asked for it once it comes, and then counts.
TEST(BackgroundProbeTest, ALateAnswerIsPostedAndThenCounts) {
  const HWND window =
      CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  BackgroundProbe probe(StandIn(L"late"), 300, 10000);
  EXPECT_FALSE(probe.CreateDirect3D());
  EXPECT_EQ(probe.Result(), BackgroundProbe::Outcome::kWaiting);
  probe.NotifyWhenDone(window, WM_APP);
  const DWORD start = GetTickCount();
  MSG message = {};
  while (MillisecondsSince(start) < 5000 &&
         !PeekMessageW(&message, window, WM_APP, WM_APP, PM_REMOVE)) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_POSTMESSAGE);
  }
  EXPECT_EQ(message.message, static_cast<UINT>(WM_APP)) << "no word of the late answer";
  ASSERT_TRUE(probe.CreateDirect3D());
  EXPECT_EQ(probe.AdapterDescription(), L"Second Card");
  DestroyWindow(window);
}

// A driver or overlay that sends a message to the tool's windows and waits
// for the answer, as a broadcast does: the wait answers it.
TEST(BackgroundProbeTest, AMessageSentByTheProbesProcessIsAnsweredWhileWaiting) {
  const HWND window = CreateWindowExW(0, L"STATIC", L"VornOption probe test", 0, 0, 0, 0, 0,
                                      nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  BackgroundProbe probe(StandIn(L"sends"));
  EXPECT_TRUE(probe.CreateDirect3D()) << "the probe's process waited for the window in vain";
  DestroyWindow(window);
}

// The program's own file is held while the tool starts it again, so that it
// cannot be renamed away or deleted (both need DELETE) and replaced meanwhile.
TEST(BackgroundProbeTest, TheProgramsFileIsHeldAgainstRenaming) {
  const std::wstring self = ModulePath(nullptr);
  const auto openToRename = [&] {
    return ScopedHandle(CreateFileW(self.c_str(), DELETE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
  };
  {
    HeldProgramFile held;
    ASSERT_TRUE(HoldProgramFile(held));
    EXPECT_EQ(NameOf(held.path), NameOf(self));
    EXPECT_FALSE(openToRename());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  }
  EXPECT_TRUE(openToRename()) << "still held";
}

}  // namespace
}  // namespace vorn
