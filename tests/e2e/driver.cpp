// Drives the real VornOption.exe from outside, as a player would: starts it
// in the current folder, finds its windows, reads and presses its controls.
// Steps come from the command line, e.g.
//   driver start dialog sel 1015 0 select 1015 2 click 1 exit 0
// Any step that does not hold ends the driver with status 1 and a message.
#include <windows.h>
#include <commctrl.h>

// Exported by user32 since Windows NT 4; the headers leave it out.
extern "C" __declspec(dllimport) BOOL WINAPI SetShellWindow(HWND window);

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "win32/elevated/elevated.h"

namespace {

constexpr DWORD kPatienceMs = 20000;

PROCESS_INFORMATION g_tool = {};
DWORD g_toolStarted = 0;
PROCESS_INFORMATION g_first = {};  // the first tool while a second start runs
PROCESS_INFORMATION g_client = {};
HWND g_dialog = nullptr;
std::wstring g_lastBoxText;

void EndClient() {
  if (g_client.hProcess) TerminateProcess(g_client.hProcess, 0);
}

[[noreturn]] void Fail(const std::wstring& what) {
  std::fwprintf(stderr, L"driver: %ls\n", what.c_str());
  if (g_tool.hProcess) TerminateProcess(g_tool.hProcess, 99);
  if (g_first.hProcess) TerminateProcess(g_first.hProcess, 99);
  EndClient();
  std::exit(1);
}

struct HeldFile {
  HANDLE handle;
  DWORD milliseconds;
};

DWORD WINAPI ReleaseLater(void* parameter) {
  auto* held = static_cast<HeldFile*>(parameter);
  Sleep(held->milliseconds);
  CloseHandle(held->handle);
  delete held;
  return 0;
}

void Expect(bool ok, const std::wstring& what) {
  if (!ok) Fail(what);
}

template <typename Found>
auto WaitFor(Found found, const std::wstring& what) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (auto result = found()) return result;
    if (GetTickCount() - start > kPatienceMs) Fail(L"timed out waiting for " + what);
    Sleep(20);
  }
}

// A message to a window of the tool; a tool that does not answer fails the
// step rather than reading as 0 ("unchecked", "first entry").
LRESULT SendTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  Expect(SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, 3000, &result) != 0,
         L"no answer to message " + std::to_wstring(message) + L", error " +
             std::to_wstring(GetLastError()));
  return static_cast<LRESULT>(result);
}

// WM_GETTEXT, since GetWindowText does not ask controls of other processes.
std::wstring TextOf(HWND window) {
  wchar_t text[1024] = {};
  SendTo(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
  return text;
}

// A text as given, "@113" for string 113 of the tool's resource library
// ("@125{n}2": with 2 in place of its "{n}"), or "full:Vorn.cfg" for the
// full path of a file in the current folder.
std::wstring ResourceString(const std::wstring& given) {
  if (given.rfind(L"full:", 0) == 0) {
    wchar_t path[MAX_PATH] = {};
    GetFullPathNameW(given.c_str() + 5, MAX_PATH, path, nullptr);
    return path;
  }
  if (given.empty() || given[0] != L'@') return given;
  // The game folder's one resource library, whichever region it is for.
  WIN32_FIND_DATAW found = {};
  HANDLE search = FindFirstFileW(L"rscdll\\VornOption*.dll", &found);
  Expect(search != INVALID_HANDLE_VALUE, L"no resource library for " + given);
  FindClose(search);
  HMODULE library = LoadLibraryExW((std::wstring(L"rscdll\\") + found.cFileName).c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  wchar_t loaded[260] = {};
  LoadStringW(library, static_cast<UINT>(_wtoi(given.c_str() + 1)), loaded, 260);
  FreeLibrary(library);
  std::wstring text = loaded;
  const std::size_t slot = given.find(L"{n}"), inText = text.find(L"{n}");
  if (slot != std::wstring::npos && inText != std::wstring::npos) {
    text.replace(inText, 3, given.substr(slot + 3));
  }
  return text;
}

HWND VisibleDialog(const wchar_t* title) {
  HWND window = FindWindowW(L"#32770", title);
  return window && IsWindowVisible(window) ? window : nullptr;
}

HWND Item(int id) {
  HWND item = GetDlgItem(g_dialog, id);
  Expect(item != nullptr, L"no item " + std::to_wstring(id));
  return item;
}

LRESULT Send(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  return SendTo(Item(id), message, wParam, lParam);
}

std::wstring ListEntry(int id, int index) {
  const LRESULT length = Send(id, CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
  if (length < 0) return L"<none>";
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  Send(id, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
  text.resize(static_cast<size_t>(length));
  return text;
}

void ExpectNumber(const wchar_t* what, int id, LRESULT expected, LRESULT got) {
  Expect(expected == got, std::wstring(what) + L" of " + std::to_wstring(id) + L": expected " +
                              std::to_wstring(expected) + L", got " + std::to_wstring(got));
}

// Presses keys in the dialog as a player would: "alt+e", "down", "space",
// "enter". The dialog is brought to the front first.
void PressKeys(const std::wstring& chord) {
  static const std::pair<const wchar_t*, WORD> kNamed[] = {
      {L"down", VK_DOWN},    {L"up", VK_UP},      {L"space", VK_SPACE},
      {L"enter", VK_RETURN}, {L"esc", VK_ESCAPE}, {L"tab", VK_TAB}};
  const bool alt = chord.rfind(L"alt+", 0) == 0;
  const std::wstring name = alt ? chord.substr(4) : chord;
  WORD key = 0;
  for (const auto& [named, code] : kNamed) {
    if (name == named) key = code;
  }
  if (!key && name.size() == 1) key = static_cast<WORD>(towupper(name[0]));
  Expect(key != 0, L"unknown key " + chord);
  SetForegroundWindow(g_dialog);
  std::vector<INPUT> inputs;
  auto press = [&inputs](WORD code, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = code;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(input);
  };
  if (alt) press(VK_MENU, false);
  press(key, false);
  press(key, true);
  if (alt) press(VK_MENU, true);
  Expect(SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size(),
         L"cannot press " + chord);
  Sleep(300);  // the tool handles the keys on its own thread
}

// `show`, when given, is the show command of a shortcut ("Run: Maximized").
// `arguments`, when given, follow the program's name on its command line.
void Start(const wchar_t* exe, int show = -1, const std::wstring& arguments = std::wstring()) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  if (show >= 0) {
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(show);
  }
  std::wstring command = exe;
  if (!arguments.empty()) command += L" " + arguments;
  g_toolStarted = GetTickCount();
  Expect(CreateProcessW(exe, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &g_tool) != FALSE,
         std::wstring(L"cannot start ") + exe + L", error " + std::to_wstring(GetLastError()));
}

DWORD WaitForExit() {
  Expect(WaitForSingleObject(g_tool.hProcess, kPatienceMs) == WAIT_OBJECT_0,
         L"the tool did not end");
  DWORD code = 0;
  GetExitCodeProcess(g_tool.hProcess, &code);
  return code;
}

// The visible Options dialogs on screen, of any process.
std::vector<HWND> OptionsDialogs() {
  std::vector<HWND> found;
  for (HWND window = nullptr;
       (window = FindWindowExW(nullptr, window, L"#32770", L"VornOption"));) {
    if (IsWindowVisible(window)) found.push_back(window);
  }
  return found;
}

// Starts `exe` while the first tool runs; a failure from here ends both.
void StartBesideFirst(const wchar_t* exe) {
  g_first = g_tool;
  Start(exe);
}

// The exit status of the program started beside the first tool, which is
// then the tool again.
DWORD EndedBesideFirst() {
  DWORD code = 99;
  GetExitCodeProcess(g_tool.hProcess, &code);
  CloseHandle(g_tool.hProcess);
  CloseHandle(g_tool.hThread);
  g_tool = g_first;
  g_first = {};
  return code;
}

// A second VornOption.exe started while the first runs: it must end with
// status 0 within `milliseconds`, showing no box and no dialog of its own.
void SecondStart(DWORD milliseconds) {
  const std::size_t dialogs = OptionsDialogs().size();
  StartBesideFirst(L"VornOption.exe");
  const DWORD start = GetTickCount();
  while (WaitForSingleObject(g_tool.hProcess, 20) == WAIT_TIMEOUT) {
    Expect(VisibleDialog(L"Vorn") == nullptr, L"the second start shows a box");
    Expect(OptionsDialogs().size() <= dialogs, L"the second start shows a dialog");
    Expect(GetTickCount() - start < milliseconds, L"the second start did not end");
  }
  ExpectNumber(L"exit status of the second start", 0, 0, EndedBesideFirst());
}

// The tool of another game folder, started while the first runs: its dialog
// opens beside the first one's; then it is closed.
void OtherFolderRuns(const wchar_t* exe) {
  StartBesideFirst(exe);
  WaitFor([] { return OptionsDialogs().size() == 2; }, std::wstring(L"the dialog of ") + exe);
  for (HWND dialog : OptionsDialogs()) {
    if (dialog != g_dialog) PostMessageW(dialog, WM_CLOSE, 0, 0);
  }
  WaitForExit();
  ExpectNumber(L"exit status of the other folder's tool", 0, 0, EndedBesideFirst());
}

// Another program, without administrator rights on Windows, takes first
// the name a running tool of this folder's VornOption.exe would claim
// outside a private namespace, and writes its own process ID into it.
void TakeToolNameFirst() {
  wchar_t program[MAX_PATH] = {};
  GetFullPathNameW(L"VornOption.exe", MAX_PATH, program, nullptr);
  const std::wstring name = L"Local\\" + vorn::ToolClaimName(program);
  const HANDLE taken = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                          sizeof(LONG), name.c_str());
  Expect(taken != nullptr && GetLastError() != ERROR_ALREADY_EXISTS, L"cannot take " + name);
  auto* value = static_cast<LONG*>(MapViewOfFile(taken, FILE_MAP_WRITE, 0, 0, sizeof(LONG)));
  Expect(value != nullptr, L"cannot write into " + name);
  *value = static_cast<LONG>(GetCurrentProcessId());  // held until the driver ends
}

// A message box with this caption; its text is the static item 0xFFFF.
HWND MessageBoxWindow(const std::wstring& caption) {
  return WaitFor([&] { return VisibleDialog(caption.c_str()); }, L"a box titled " + caption);
}

// Starts `exe` and measures the time until its dialog is on screen.
double SecondsToDialog(const wchar_t* exe, const wchar_t* title) {
  const auto start = std::chrono::steady_clock::now();
  Start(exe);
  HWND dialog =
      WaitFor([&] { return VisibleDialog(title); }, L"the dialog of " + std::wstring(exe));
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  PostMessageW(dialog, WM_CLOSE, 0, 0);
  WaitForExit();
  CloseHandle(g_tool.hProcess);
  CloseHandle(g_tool.hThread);
  g_tool = {};
  return seconds;
}

// Both programs started in turn, so that a slow moment of the machine
// falls on both: the median of the rounds' ratios.
void Timing(int rounds) {
  std::vector<double> tool, baseline, ratios;
  for (int i = 0; i < rounds; ++i) {
    baseline.push_back(SecondsToDialog(L"Baseline.exe", L"VornOption"));
    tool.push_back(SecondsToDialog(L"VornOption.exe", L"VornOption"));
    ratios.push_back(tool.back() / baseline.back());
  }
  auto median = [](std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
  };
  std::printf(
      "start to dialog ready over %d rounds: median VornOption %.0f ms, baseline %.0f ms; "
      "median of the rounds' ratios %.2f (from %.2f to %.2f; target 0.9)\n",
      rounds, median(tool) * 1000, median(baseline) * 1000, median(ratios),
      *std::min_element(ratios.begin(), ratios.end()),
      *std::max_element(ratios.begin(), ratios.end()));
}

// The desktop's shell window, which Explorer holds on Windows and Wine's
// desktop does not: the tool takes the player to be its process's user. A
// driver started as the stand-in client finds it held already.
HWND PlayTheShell() {
  if (GetShellWindow()) return nullptr;
  const HWND shell = CreateWindowExW(0, L"STATIC", L"shell", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                     nullptr, nullptr);
  Expect(shell && SetShellWindow(shell), L"cannot hold the shell window");
  return shell;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  HWND shell = PlayTheShell();
  std::vector<std::wstring> args(argv + 1, argv + argc);
  size_t i = 0;
  auto next = [&]() -> std::wstring {
    Expect(i < args.size(), L"missing argument after " + args[i - 1]);
    return args[i++];
  };
  auto nextInt = [&] { return _wtoi(next().c_str()); };

  while (i < args.size()) {
    const std::wstring step = next();
    if (step == L"start") {
      Start(L"VornOption.exe");
    } else if (step == L"no-shell") {  // as where Explorer does not run
      DestroyWindow(shell);
    } else if (step == L"start-from") {  // the tool's path; the current folder stays the game's
      Start(next().c_str());
    } else if (step == L"start-with") {  // the arguments, as one
      Start(L"VornOption.exe", -1, next());
    } else if (step == L"start-shown") {  // as a shortcut with this show command starts it
      Start(L"VornOption.exe", nextInt());
    } else if (step == L"iconic") {
      ExpectNumber(L"minimised", 0, nextInt(), IsIconic(g_dialog) ? 1 : 0);
    } else if (step == L"zoomed") {
      ExpectNumber(L"maximised", 0, nextInt(), IsZoomed(g_dialog) ? 1 : 0);
    } else if (step == L"second-start") {  // milliseconds it may take
      SecondStart(static_cast<DWORD>(nextInt()));
    } else if (step == L"restored-in-front") {
      WaitFor([] { return !IsIconic(g_dialog) && GetForegroundWindow() == g_dialog; },
              L"the dialog restored and in front");
    } else if (step == L"other-folder-runs") {  // the other folder's VornOption.exe
      OtherFolderRuns(next().c_str());
    } else if (step == L"take-tool-name") {
      TakeToolNameFirst();
    } else if (step == L"dialog") {
      g_dialog = WaitFor([] { return VisibleDialog(L"VornOption"); }, L"the Options dialog");
    } else if (step == L"by") {  // milliseconds since the start that may have gone by
      const DWORD limit = static_cast<DWORD>(nextInt()), gone = GetTickCount() - g_toolStarted;
      Expect(gone <= limit,
             L"took " + std::to_wstring(gone) + L" ms, more than " + std::to_wstring(limit));
    } else if (step == L"no-dialog") {  // none shows before the tool ends, however long it takes
      const DWORD start = GetTickCount();
      do {
        Expect(VisibleDialog(L"VornOption") == nullptr, L"the Options dialog is open");
      } while (WaitForSingleObject(g_tool.hProcess, 20) == WAIT_TIMEOUT &&
               GetTickCount() - start < kPatienceMs);
    } else if (step == L"box") {  // caption, text: answers the box with its button
      const std::wstring caption = ResourceString(next()), text = ResourceString(next());
      HWND box = MessageBoxWindow(caption);
      const std::wstring shown = TextOf(GetDlgItem(box, 0xFFFF));
      Expect(shown == text, L"box text: expected \"" + text + L"\", got \"" + shown + L"\"");
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    } else if (step == L"box-contains" || step == L"box-with") {
      // box-contains caption part; box-with caption part... end
      const std::wstring caption = ResourceString(next());
      std::vector<std::wstring> parts{ResourceString(next())};
      if (step == L"box-with") {
        for (std::wstring part = next(); part != L"end"; part = next()) {
          parts.push_back(ResourceString(part));
        }
      }
      HWND box = MessageBoxWindow(caption);
      const std::wstring shown = TextOf(GetDlgItem(box, 0xFFFF));
      for (const std::wstring& part : parts) {
        Expect(shown.find(part) != std::wstring::npos,
               L"box text lacks \"" + part + L"\": " + shown);
      }
      g_lastBoxText = shown;
      PostMessageW(box, WM_COMMAND, IDOK, 0);
      WaitFor([&] { return !IsWindow(box); }, L"the box to close");
    } else if (step == L"box-save") {  // file: the last box's text, as UTF-8
      FILE* file = _wfopen(next().c_str(), L"wb");
      Expect(file != nullptr, L"cannot write the box text");
      const int size =
          WideCharToMultiByte(CP_UTF8, 0, g_lastBoxText.c_str(), -1, nullptr, 0, nullptr, nullptr);
      std::string utf8(static_cast<size_t>(size), '\0');
      WideCharToMultiByte(CP_UTF8, 0, g_lastBoxText.c_str(), -1, &utf8[0], size, nullptr, nullptr);
      std::fwrite(utf8.data(), 1, utf8.size() - 1, file);
      std::fclose(file);
    } else if (step == L"key") {
      PressKeys(next());
    } else if (step == L"items") {  // every item of the dialog, visible
      for (int id : {1000, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010,
                     1011, 1012, 1013, 1014, 1015, 1016, 1017, 1020, IDOK, IDCANCEL}) {
        Expect(IsWindowVisible(Item(id)) != FALSE, L"item " + std::to_wstring(id) + L" hidden");
      }
    } else if (step == L"text") {  // id, expected window text
      const int id = nextInt();
      const std::wstring expected = next(), shown = TextOf(Item(id));
      Expect(shown == expected, L"text of " + std::to_wstring(id) + L": expected \"" + expected +
                                    L"\", got \"" + shown + L"\"");
    } else if (step == L"count") {
      const int id = nextInt();
      ExpectNumber(L"count", id, nextInt(), Send(id, CB_GETCOUNT));
    } else if (step == L"sel") {
      const int id = nextInt();
      ExpectNumber(L"selection", id, nextInt(), Send(id, CB_GETCURSEL));
    } else if (step == L"entry") {  // id, index, text
      const int id = nextInt(), index = nextInt();
      const std::wstring expected = ResourceString(next()), shown = ListEntry(id, index);
      Expect(shown == expected, L"entry " + std::to_wstring(index) + L" of " + std::to_wstring(id) +
                                    L": expected \"" + expected + L"\", got \"" + shown + L"\"");
    } else if (step == L"check") {
      const int id = nextInt();
      ExpectNumber(L"check", id, nextInt(), Send(id, BM_GETCHECK));
    } else if (step == L"focus") {  // id of the item that has the keyboard focus
      GUITHREADINFO gui = {};
      gui.cbSize = sizeof(gui);
      Expect(GetGUIThreadInfo(GetWindowThreadProcessId(g_dialog, nullptr), &gui) != FALSE,
             L"cannot ask the tool where the focus is");
      const int expected = nextInt(), focused = GetDlgCtrlID(gui.hwndFocus);
      Expect(expected == focused, L"focus: expected item " + std::to_wstring(expected) + L", got " +
                                      std::to_wstring(focused));
    } else if (step == L"enabled") {
      const int id = nextInt();
      ExpectNumber(L"enabled", id, nextInt(), IsWindowEnabled(Item(id)) ? 1 : 0);
    } else if (step == L"wait-enabled") {  // id: until it is, within the patience
      HWND item = Item(nextInt());
      WaitFor([&] { return IsWindowEnabled(item); },
              L"item " + std::to_wstring(GetDlgCtrlID(item)));
    } else if (step == L"select") {  // as a player would: the list then notifies the dialog
      const int id = nextInt(), index = nextInt();
      Send(id, CB_SETCURSEL, static_cast<WPARAM>(index));
      SendTo(g_dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
             reinterpret_cast<LPARAM>(Item(id)));
    } else if (step == L"click") {
      // A click answers once handled; one that opens a box answers when the
      // box closes, so then the box must be up.
      DWORD_PTR ignored;
      if (!SendMessageTimeoutW(Item(nextInt()), BM_CLICK, 0, 0, SMTO_NORMAL, 3000, &ignored)) {
        Expect(VisibleDialog(L"Vorn") != nullptr, L"no answer to the click and no box");
      }
    } else if (step == L"cut-save") {
      // OK pressed, and the tool ended the moment its new file appears, as a
      // crash, End task or a power cut of the process would end it.
      PostMessageW(Item(IDOK), BM_CLICK, 0, 0);
      for (const DWORD start = GetTickCount();; Sleep(1)) {
        WIN32_FIND_DATAW found;
        const HANDLE search = FindFirstFileW(L"Vorn.cfg.*.tmp", &found);
        if (search != INVALID_HANDLE_VALUE) {
          FindClose(search);
          break;
        }
        Expect(GetTickCount() - start < kPatienceMs, L"no new file appeared");
      }
      TerminateProcess(g_tool.hProcess, 9);
    } else if (step == L"close") {
      PostMessageW(g_dialog, WM_CLOSE, 0, 0);
    } else if (step == L"exit") {
      const DWORD expected = static_cast<DWORD>(nextInt()), code = WaitForExit();
      Expect(code == expected, L"exit status: expected " + std::to_wstring(expected) + L", got " +
                                   std::to_wstring(code));
    } else if (step == L"hold") {  // ready marker holding the dialog's geometry, then wait
      const std::wstring ready = next(), done = next();
      // Drawn as the player sees it, the window in use: a virtual desktop
      // without the X focus leaves every caption inactive.
      SendMessageW(g_dialog, WM_NCACTIVATE, TRUE, 0);
      RECT r = {};
      GetWindowRect(g_dialog, &r);
      FILE* marker = _wfopen(ready.c_str(), L"w");
      std::fprintf(marker, "%ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
      std::fclose(marker);
      WaitFor([&] { return GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES; },
              L"the marker " + done);
    } else if (step == L"sleep") {
      Sleep(static_cast<DWORD>(nextInt()));
    } else if (step == L"lock" || step == L"hold-open") {
      // file, milliseconds: hold it open without sharing, or for reading as a
      // game or scanner would, letting others read and write it
      const std::wstring file = next();
      const DWORD share = step == L"lock" ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE;
      auto* lock = new HeldFile{
          CreateFileW(file.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr),
          static_cast<DWORD>(nextInt())};
      Expect(lock->handle != INVALID_HANDLE_VALUE, L"cannot open " + file);
      CloseHandle(CreateThread(nullptr, 0, &ReleaseLater, lock, 0, nullptr));
    } else if (step == L"exists" || step == L"read-only") {  // file, 1 or 0
      const std::wstring file = next();
      const DWORD attributes = GetFileAttributesW(file.c_str());
      const DWORD wanted = step == L"exists" ? 0 : FILE_ATTRIBUTE_READONLY;
      ExpectNumber((step + L" " + file).c_str(), 0, nextInt(),
                   attributes != INVALID_FILE_ATTRIBUTES && (attributes & wanted) == wanted);
    } else if (step == L"copy") {  // from, to: another program rewrites a file in place
      const std::wstring from = next(), to = next();
      Expect(CopyFileW(from.c_str(), to.c_str(), FALSE) != FALSE, L"cannot copy to " + to);
    } else if (step == L"hidden-file") {  // an empty hidden file, as a power cut leaves one
      const std::wstring file = next();
      const HANDLE made = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_HIDDEN, nullptr);
      Expect(made != INVALID_HANDLE_VALUE, L"cannot make " + file);
      CloseHandle(made);
    } else if (step == L"mkdir") {  // another program puts a folder in a file's place
      Expect(CreateDirectoryW(next().c_str(), nullptr) != FALSE, L"cannot make the folder");
    } else if (step == L"delete") {
      const std::wstring file = next();
      Expect(DeleteFileW(file.c_str()) != FALSE, L"cannot delete " + file);
    } else if (step == L"client") {  // a stand-in game client under the given name
      const std::wstring name = next();
      wchar_t self[MAX_PATH] = {};
      GetModuleFileNameW(nullptr, self, MAX_PATH);
      Expect(CopyFileW(self, name.c_str(), FALSE) != FALSE, L"cannot copy to " + name);
      STARTUPINFOW startup = {};
      startup.cb = sizeof(startup);
      std::wstring command = name + L" sleep 60000";
      Expect(CreateProcessW(name.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &g_client) != FALSE,
             L"cannot start " + name);
    } else if (step == L"run") {  // exe, expected exit status
      const std::wstring exe = next();
      Start(exe.c_str());
      const DWORD expected = static_cast<DWORD>(nextInt()), code = WaitForExit();
      Expect(code == expected, exe + L" ended with " + std::to_wstring(code));
    } else if (step == L"timing") {
      Timing(nextInt());
    } else {
      Fail(L"unknown step " + step);
    }
  }
  EndClient();
  return 0;
}
