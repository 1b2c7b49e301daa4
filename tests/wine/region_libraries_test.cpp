// Every region's resource library and program, as built: every resource the
// program loads, strings that fit the program's buffer, access keys that
// reach one item each in the language's form, Chinese texts in their own
// script, texts that fit their controls in the dialog's font at 100 % and
// 150 % scaling, and the icon sizes Windows scales to.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "resource_ids.h"
#include "win32/framework/controls.h"
#include "win32/messages.h"
#include "win32/scoped_handle.h"

namespace vorn {
namespace {

constexpr const wchar_t* kRegions[] = {L"KR", L"CN", L"TW", L"JP", L"RU", L"GB"};

// Every item the program reaches, in the order Tab visits them.
constexpr int kItemsInTabOrder[] = {IDC_ADAPTER,
                                    IDC_SHADER_VERSION,
                                    IDC_RESOLUTION,
                                    IDC_TEXTURE,
                                    IDC_HEIGHTFIELD,
                                    IDC_OBJECT,
                                    IDC_OCEAN,
                                    IDC_SKY,
                                    IDC_CHARACTER,
                                    IDC_TREE,
                                    IDC_AUDIO,
                                    IDC_SHADOWMAP,
                                    IDC_WATER_REFLECTION,
                                    IDC_GLARE_RENDER,
                                    IDC_TREE_NORMAL_MAP,
                                    IDC_WINDOW_MODE,
                                    IDC_VSYNC,
                                    IDC_RECOMMENDED,
                                    IDOK,
                                    IDCANCEL};

LANGID RegionLanguage(const std::wstring& region) {
  const std::map<std::wstring, LANGID> languages = {
      {L"KR", MAKELANGID(LANG_KOREAN, SUBLANG_KOREAN)},
      {L"CN", MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED)},
      {L"TW", MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL)},
      {L"JP", MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN)},
      {L"RU", MAKELANGID(LANG_RUSSIAN, SUBLANG_RUSSIAN_RUSSIA)},
      {L"GB", MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK)}};
  return languages.at(region);
}

// The region's game folder as built: dist\ for the default region.
std::wstring GameFolder(const std::wstring& region) {
  if (region == L"" VORN_DEFAULT_REGION) return L"" VORN_BUILD_DIR L"\\dist";
  return L"" VORN_BUILD_DIR L"\\regions\\" + region;
}

std::wstring LibraryPath(const std::wstring& region) {
  return GameFolder(region) + L"\\rscdll\\VornOption" + region + L".dll";
}

class RegionLibraryTest : public ::testing::TestWithParam<const wchar_t*> {
 protected:
  void SetUp() override {
    library_ = LoadLibraryExW(LibraryPath(GetParam()).c_str(), nullptr,
                              LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(library_, nullptr) << "no library for " << std::wstring(GetParam()).size();
    dialog_ = CreateDialogParamW(library_, MAKEINTRESOURCEW(IDD_OPTIONS), nullptr, &Ignore, 0);
    ASSERT_NE(dialog_, nullptr);
  }
  void TearDown() override {
    if (dialog_) DestroyWindow(dialog_);
    if (library_) FreeLibrary(library_);
  }

  static INT_PTR CALLBACK Ignore(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

  std::vector<HWND> Children() const {
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      children.push_back(child);
    }
    return children;
  }

  HMODULE library_ = nullptr;
  HWND dialog_ = nullptr;
};

std::wstring ClassOf(HWND window) {
  wchar_t name[32] = {};
  GetClassNameW(window, name, 32);
  return name;
}

bool IsCheckBox(HWND window) {
  return ClassOf(window) == L"Button" &&
         (GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX;
}

// The letter after "&" in a control's text, upper-cased; 0 when it has none.
wchar_t AccessKey(HWND control) {
  const std::wstring text = Window{control}.Text();
  const size_t amp = text.find(L'&');
  if (amp == std::wstring::npos || amp + 1 >= text.size()) return 0;
  // The C runtime's towupper leaves Cyrillic as it is; user32 knows every alphabet.
  wchar_t key = text[amp + 1];
  CharUpperBuffW(&key, 1);
  return key;
}

constexpr UINT kLoadedStrings[] = {IDS_LEVEL_HIGH,         IDS_LEVEL_MEDIUM,
                                   IDS_LEVEL_LOW,          IDS_REGISTRY_KEY,
                                   IDS_VSYNC_TIP,          IDS_GAME_RUNNING_CAPTION,
                                   IDS_GAME_RUNNING_TEXT,  IDS_SAVE_FAILED,
                                   IDS_SAVE_ADVICE,        IDS_FILE_TOO_LARGE,
                                   IDS_FILE_LINKED,        IDS_LINK_LEADS_TO,
                                   IDS_LINK_NAMES,         IDS_LINK_ADVICE,
                                   IDS_FILE_UNREADABLE,    IDS_FILE_UNREADABLE_ADVICE,
                                   IDS_UNREADABLE_GENERIC, IDS_UNREADABLE_FOLDER,
                                   IDS_UNREADABLE_DENIED,  IDS_UNREADABLE_DRIVE,
                                   IDS_UNREADABLE_NETWORK, IDS_UNREADABLE_PATH_TOO_LONG,
                                   IDS_NO_DIRECT3D,        IDS_CARD_SILENT,
                                   IDS_CARD_CRASHED,       IDS_RETRY_HELD,
                                   IDS_RETRY_GENERIC,      IDS_RETRY_FOLDER,
                                   IDS_RETRY_DENIED,       IDS_RETRY_DRIVE,
                                   IDS_RETRY_NETWORK,      IDS_RETRY_PATH_TOO_LONG,
                                   IDS_COPY_LEFT,          IDS_COPY_LEFT_ADVICE,
                                   IDS_PLAYER_UNKNOWN,     IDS_PLAYER_UNKNOWN_ADVICE};

// The texts the program itself holds, each with the path's place.
constexpr UINT kProgramStrings[] = {IDS_NO_RESOURCE_LIBRARY, IDS_DOT_LOCAL_FOUND,
                                    IDS_LOADER_FILE_FOUND, IDS_SEARCH_UPDATE_MISSING,
                                    IDS_COMMON_CONTROLS_REFUSED};

std::wstring ProgramPath(const std::wstring& region) {
  return GameFolder(region) + L"\\VornOption.exe";
}

TEST_P(RegionLibraryTest, HoldsEveryResourceTheProgramLoads) {
  for (UINT id : kLoadedStrings) {
    wchar_t text[260] = {};
    EXPECT_GT(LoadStringW(library_, id, text, 260), 0) << "string " << id;
  }
  wchar_t names[260] = {};
  LoadStringW(library_, IDS_LINK_NAMES, names, 260);
  EXPECT_NE(std::wstring(names).find(L"{n}"), std::wstring::npos) << "the count's place";
  for (int id : kItemsInTabOrder) {
    EXPECT_NE(GetDlgItem(dialog_, id), nullptr) << "item " << id;
  }
  EXPECT_NE(FindResourceW(library_, MAKEINTRESOURCEW(IDR_MAINFRAME), RT_GROUP_ICON), nullptr);
}

TEST_P(RegionLibraryTest, EveryListCheckBoxAndTheButtonHasItsOwnAccessKey) {
  std::map<wchar_t, int> owners;  // key -> the item it reaches
  for (HWND child : Children()) {
    const int id = GetDlgCtrlID(child);
    if (ClassOf(child) == L"ComboBox") {
      // The label standing right before a list hands its key to the list.
      const wchar_t key = AccessKey(GetWindow(child, GW_HWNDPREV));
      EXPECT_NE(key, 0) << "the label before list " << id;
      EXPECT_TRUE(owners.emplace(key, id).second) << "list " << id << "'s key is taken";
    } else if (id > IDC_ADAPTER) {  // check boxes and the button
      const wchar_t key = AccessKey(child);
      EXPECT_NE(key, 0) << "item " << id;
      EXPECT_TRUE(owners.emplace(key, id).second) << "item " << id << "'s key is taken";
    }
  }
  EXPECT_EQ(owners.size(), 17u) << "ten lists, six check boxes and the button";
}

BOOL CALLBACK AddBlock(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR blocks) {
  reinterpret_cast<std::vector<UINT>*>(blocks)->push_back(LOWORD(name));
  return TRUE;
}

// Every string in the library's table, at its full length as stored: each
// block holds 16 strings, each its length in characters, then the characters.
std::map<UINT, std::wstring> StringTable(HMODULE library) {
  std::vector<UINT> blocks;
  EnumResourceNamesW(library, RT_STRING, &AddBlock, reinterpret_cast<LONG_PTR>(&blocks));
  std::map<UINT, std::wstring> table;
  for (UINT block : blocks) {
    HRSRC found = FindResourceW(library, MAKEINTRESOURCEW(block), RT_STRING);
    const auto* next = static_cast<const wchar_t*>(LockResource(LoadResource(library, found)));
    for (UINT i = 0; next && i < 16; ++i) {
      const WORD length = static_cast<WORD>(*next++);
      if (length > 0) table[(block - 1) * 16 + i] = std::wstring(next, length);
      next += length;
    }
  }
  return table;
}

// Without its library the program still speaks the region's language, names
// the file, and ends on the English line that support searches for.
TEST_P(RegionLibraryTest, TheProgramHoldsItsOwnTextsInTheRegionsLanguage) {
  HMODULE program = LoadLibraryExW(ProgramPath(GetParam()).c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(program, nullptr);
  const std::map<UINT, std::wstring> table = StringTable(program);
  for (UINT id : kProgramStrings) {
    ASSERT_EQ(table.count(id), 1u) << "string " << id;
    // The update is named, else the file.
    EXPECT_NE(table.at(id).find(id == IDS_SEARCH_UPDATE_MISSING ? L"KB2533623" : L"{path}"),
              std::wstring::npos)
        << "string " << id;
    // Stored in the block of the language the library's strings are in.
    const UINT block = id / 16 + 1;
    EXPECT_NE(
        FindResourceExW(program, RT_STRING, MAKEINTRESOURCEW(block), RegionLanguage(GetParam())),
        nullptr)
        << "string " << id << " in the region's language";
  }
  const std::wstring missing = table.at(IDS_NO_RESOURCE_LIBRARY);
  const std::wstring lastLine = L"\nCannot load resource dll.";
  EXPECT_EQ(missing.rfind(lastLine), missing.size() - lastLine.size()) << "its last line";
  EXPECT_NE(missing.find(L"rscdll"), std::wstring::npos) << "the folder to copy";
  FreeLibrary(program);
}

// Windows runs a 32-bit program whose manifest names no execution level with
// its file writes redirected to the player's VirtualStore; Wine neither
// elevates nor redirects, so the manifest Windows reads is checked here.
TEST_P(RegionLibraryTest, TheProgramAsksToRunAsAdministratorSoWindowsNeverVirtualizesIt) {
  HMODULE program = LoadLibraryExW(ProgramPath(GetParam()).c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(program, nullptr);
  HRSRC found = FindResourceW(program, CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST);
  ASSERT_NE(found, nullptr) << "the manifest Windows reads at start";
  const std::string manifest(static_cast<const char*>(LockResource(LoadResource(program, found))),
                             SizeofResource(program, found));
  EXPECT_NE(manifest.find(R"(<requestedExecutionLevel level="requireAdministrator")"),
            std::string::npos)
      << manifest;
  FreeLibrary(program);
}

// The common controls are named by a manifest the tool activates itself, not
// by the one Windows reads at start, which the probe's process starts with.
TEST_P(RegionLibraryTest, OnlyTheToolsOwnWindowsAskForTheCommonControls) {
  const ScopedModule program(
      LoadLibraryExW(ProgramPath(GetParam()).c_str(), nullptr,
                     LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  ASSERT_TRUE(program);
  const auto manifest = [&](const wchar_t* id) {
    const HRSRC found = FindResourceW(program.get(), id, RT_MANIFEST);
    return found ? std::string(
                       static_cast<const char*>(LockResource(LoadResource(program.get(), found))),
                       SizeofResource(program.get(), found))
                 : std::string();
  };
  EXPECT_EQ(manifest(CREATEPROCESS_MANIFEST_RESOURCE_ID).find("<dependency>"), std::string::npos);
  EXPECT_NE(manifest(MAKEINTRESOURCEW(IDR_COMMON_CONTROLS_MANIFEST))
                .find(R"(name="Microsoft.Windows.Common-Controls" version="6.0.0.0")"),
            std::string::npos);
}

// Chinese labels end on a full-width colon, which carries its own space.
TEST_P(RegionLibraryTest, TheLinkTargetFollowsItsLabelWithTheRegionsSpacing) {
  const std::wstring region = GetParam();
  wchar_t label[260] = {};
  LoadStringW(library_, IDS_LINK_LEADS_TO, label, 260);
  LinkedFile symbolic;
  symbolic.leadsTo = "C:\\Vorn\\other.cfg";
  const std::wstring gap = region == L"CN" || region == L"TW" ? L"" : L" ";
  const std::wstring line = L"\n" + std::wstring(label) + gap + L"C:\\Vorn\\other.cfg\n";
  EXPECT_NE(LinkedMessage(library_, L"C:\\Vorn.cfg", symbolic).find(line), std::wstring::npos)
      << "expected the label, " << gap.size() << " spaces and the target";
}

TEST_P(RegionLibraryTest, EveryStringFitsTheBufferTheProgramLoadsItInto) {
  const std::map<UINT, std::wstring> table = StringTable(library_);
  for (UINT id : kLoadedStrings) EXPECT_EQ(table.count(id), 1u) << "string " << id;
  for (const auto& [id, text] : table) {
    // LoadStringW fills 260 characters, the last one the terminating null.
    EXPECT_LE(text.size(), 259u) << "string " << id << " would be cut";
  }
}

bool KeyInParentheses(const std::wstring& region) {
  return region == L"KR" || region == L"CN" || region == L"TW" || region == L"JP";
}

TEST_P(RegionLibraryTest, AccessKeysTakeTheLanguagesForm) {
  const std::wstring region = GetParam();
  int keyed = 0;
  for (HWND child : Children()) {
    const std::wstring text = Window{child}.Text();
    const size_t amp = text.find(L'&');
    if (amp == std::wstring::npos) continue;
    ++keyed;
    const int id = GetDlgCtrlID(child);
    EXPECT_EQ(text.find(L'&', amp + 1), std::wstring::npos) << "item " << id << ": one & only";
    if (KeyInParentheses(region)) {
      // "텍스처(&T)": a Latin capital in parentheses closing the text, right
      // after the word.
      const bool closing = amp >= 2 && amp + 3 == text.size() && text[amp - 1] == L'(' &&
                           text[amp - 2] != L' ' && text.back() == L')';
      EXPECT_TRUE(closing && text[amp + 1] >= L'A' && text[amp + 1] <= L'Z')
          << "item " << id << ": expected a word, then (&A) to (&Z)";
    } else {
      // "Soun&d", "&Звук": a letter of the word itself, in its own alphabet.
      EXPECT_EQ(text.find(L'('), std::wstring::npos) << "item " << id << ": no parentheses";
      ASSERT_LT(amp + 1, text.size()) << "item " << id;
      const wchar_t key = text[amp + 1];
      const bool letter =
          region == L"RU"
              ? (key >= L'\x410' && key <= L'\x44F') || key == L'\x401' || key == L'\x451'
              : (key >= L'A' && key <= L'Z') || (key >= L'a' && key <= L'z');
      EXPECT_TRUE(letter) << "item " << id << ": key U+" << std::hex << int{key};
    }
  }
  EXPECT_EQ(keyed, 17) << "ten labels, six check boxes and the button";
}

// Characters that differ between the scripts and turn up in these texts:
// simplified, then traditional.
constexpr const wchar_t* kScriptPairs[][2] = {
    {L"显", L"顯"}, {L"质", L"質"}, {L"设", L"設"}, {L"开", L"開"}, {L"动", L"動"}, {L"戏", L"戲"},
    {L"启", L"啟"}, {L"择", L"擇"}, {L"种", L"種"}, {L"画", L"畫"}, {L"树", L"樹"}, {L"阴", L"陰"},
    {L"贴", L"貼"}, {L"图", L"圖"}, {L"确", L"確"}, {L"请", L"請"}, {L"无", L"無"}, {L"读", L"讀"},
    {L"链", L"鏈"}, {L"权", L"權"}, {L"关", L"關"},
};

TEST_P(RegionLibraryTest, ChineseTextsKeepToTheirOwnScript) {
  const std::wstring region = GetParam();
  if (region != L"CN" && region != L"TW") GTEST_SKIP() << "not written in Chinese";
  const int foreign = region == L"CN" ? 1 : 0;  // the other script's column
  std::vector<std::wstring> texts = {Window{dialog_}.Text()};
  for (HWND child : Children()) texts.push_back(Window{child}.Text());
  for (const auto& entry : StringTable(library_)) texts.push_back(entry.second);
  HMODULE program = LoadLibraryExW(ProgramPath(region).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(program, nullptr);
  for (const auto& entry : StringTable(program)) texts.push_back(entry.second);
  FreeLibrary(program);
  for (const std::wstring& text : texts) {
    for (const auto& pair : kScriptPairs) {
      EXPECT_EQ(text.find(pair[foreign]), std::wstring::npos)
          << "U+" << std::hex << int{pair[foreign][0]} << " belongs to the other script; U+"
          << int{pair[1 - foreign][0]} << " in its place";
    }
  }
}

// The dialog's font at a DPI, and its horizontal dialog base unit, as
// Windows lays a dialog out at that scaling.
struct ScaledFont {
  ScaledFont(HWND dialog, int dpi) {
    LOGFONTW logFont = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof(logFont),
               &logFont);
    logFont.lfHeight = MulDiv(logFont.lfHeight, dpi, 96);
    font = CreateFontIndirectW(&logFont);
    dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, font);
    SIZE letters = {};
    GetTextExtentPoint32W(dc, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52,
                          &letters);
    baseUnitX = (letters.cx / 26 + 1) / 2;
  }
  ~ScaledFont() {
    DeleteDC(dc);
    DeleteObject(font);
  }
  int Width(std::wstring text) const {
    text.erase(std::remove(text.begin(), text.end(), L'&'), text.end());
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
  }

  HFONT font;
  HDC dc;
  int baseUnitX;
};

TEST_P(RegionLibraryTest, EveryLabelCheckBoxAndButtonTextFitsAtEachScaling) {
  const ScaledFont atCreation(dialog_, 96);
  for (int dpi : {96, 144}) {
    const ScaledFont scaled(dialog_, dpi);
    for (HWND child : Children()) {
      const std::wstring cls = ClassOf(child);
      const bool label = cls == L"Static";
      const bool check = IsCheckBox(child);
      const bool button = cls == L"Button" && !check && GetDlgCtrlID(child) > 0 &&
                          (GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) != BS_GROUPBOX;
      if (!label && !check && !button) continue;
      RECT rect = {};
      GetWindowRect(child, &rect);
      // The control's width in dialog units, laid out again at this DPI.
      const int width = MulDiv(rect.right - rect.left, scaled.baseUnitX, atCreation.baseUnitX);
      const int room = width - (check ? MulDiv(16, dpi, 96) : button ? MulDiv(6, dpi, 96) : 0);
      const std::wstring text = Window{child}.Text();
      EXPECT_LE(scaled.Width(text), room)
          << "item " << GetDlgCtrlID(child) << " (text of " << text.size()
          << " characters) is cut at " << dpi << " DPI";
    }
  }
}

// A key as the dialog manager gets it from the message loop: for the item
// that has the focus.
void Press(HWND dialog, WPARAM key) {
  MSG msg = {GetFocus(), WM_KEYDOWN, key, 0, 0, {}};
  IsDialogMessageW(dialog, &msg);
}

TEST_P(RegionLibraryTest, TabVisitsTheVideoCardThenEveryListCheckBoxAndButtonInOrder) {
  ShowWindow(dialog_, SW_SHOW);
  SetFocus(GetDlgItem(dialog_, IDCANCEL));
  std::vector<int> visited;
  for (size_t i = 0; i < std::size(kItemsInTabOrder); ++i) {
    Press(dialog_, VK_TAB);
    visited.push_back(GetDlgCtrlID(GetFocus()));
  }
  EXPECT_EQ(visited, std::vector<int>(std::begin(kItemsInTabOrder), std::end(kItemsInTabOrder)));
}

// Arrows move within a group: the effects' check boxes are one, the buttons
// another, and no arrow reaches a list, whose selection it would change.
TEST_P(RegionLibraryTest, ArrowKeysCycleAmongTheEnabledCheckBoxesOrTheButtonsAndLeaveTheSound) {
  ShowWindow(dialog_, SW_SHOW);
  HWND sound = GetDlgItem(dialog_, IDC_AUDIO);
  ComboBox_AddString(sound, L"OFF");
  ComboBox_AddString(sound, L"ON");
  ComboBox_SetCurSel(sound, 1);
  // Greyed as at a low shader version.
  EnableWindow(GetDlgItem(dialog_, IDC_WATER_REFLECTION), FALSE);
  EnableWindow(GetDlgItem(dialog_, IDC_TREE_NORMAL_MAP), FALSE);
  const std::vector<std::vector<int>> groups = {
      {IDC_SHADOWMAP, IDC_GLARE_RENDER, IDC_WINDOW_MODE, IDC_VSYNC},
      {IDC_RECOMMENDED, IDOK, IDCANCEL}};
  for (const std::vector<int>& group : groups) {
    for (int start : group) {
      for (WPARAM key : {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT}) {
        SetFocus(GetDlgItem(dialog_, start));
        std::set<int> reached;
        for (size_t press = 1; press <= 2 * group.size(); ++press) {
          Press(dialog_, key);
          const int at = GetDlgCtrlID(GetFocus());
          EXPECT_EQ(std::count(group.begin(), group.end(), at), 1)
              << "key " << key << " pressed " << press << " times from item " << start
              << " reached item " << at;
          reached.insert(at);
        }
        EXPECT_EQ(reached.size(), group.size()) << "key " << key << " from item " << start;
        ASSERT_EQ(ComboBox_GetCurSel(sound), 1) << "key " << key << " from item " << start;
      }
    }
  }
}

// The style of the region's dialog template (DLGTEMPLATEEX: version,
// signature, help ID and extended style come first).
DWORD TemplateStyle(HMODULE library) {
  HRSRC found = FindResourceW(library, MAKEINTRESOURCEW(IDD_OPTIONS), RT_DIALOG);
  const auto* words =
      found ? static_cast<const WORD*>(LockResource(LoadResource(library, found))) : nullptr;
  return words && words[1] == 0xFFFF ? *reinterpret_cast<const DWORD*>(words + 6) : 0;
}

TEST_P(RegionLibraryTest, LatinAndCyrillicDialogsUseTheShellFontTheOthersTheirOwn) {
  const std::wstring region = GetParam();
  const DWORD expected = region == L"GB" || region == L"RU" ? DS_SHELLFONT : DS_SETFONT;
  EXPECT_EQ(TemplateStyle(library_) & DS_SHELLFONT, expected);
  LOGFONTW font = {};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog_, WM_GETFONT, 0, 0)), sizeof(font), &font);
  EXPECT_EQ(std::wstring(font.lfFaceName), L"MS Shell Dlg");
}

TEST_P(RegionLibraryTest, EveryLabelStandsAtOneLeftEdge) {
  std::set<LONG> edges;
  for (HWND child : Children()) {
    if (ClassOf(child) != L"Static") continue;
    RECT rect = {};
    GetWindowRect(child, &rect);
    edges.insert(rect.left);
  }
  EXPECT_EQ(edges.size(), 1u) << "the labels stand at " << edges.size() << " left edges";
}

// The language a built file's version resource names (what Explorer shows),
// and whether its strings stand in that language's block; 0 without one.
LANGID VersionLanguage(const std::wstring& file, bool& stringsInIt,
                       std::wstring* description = nullptr) {
  DWORD ignored = 0;
  std::vector<BYTE> info(GetFileVersionInfoSizeW(file.c_str(), &ignored));
  if (info.empty() ||
      !GetFileVersionInfoW(file.c_str(), 0, static_cast<DWORD>(info.size()), info.data())) {
    return 0;
  }
  void* translation = nullptr;
  UINT size = 0;
  if (!VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", &translation, &size) ||
      size < 4) {
    return 0;
  }
  const auto* pair = static_cast<const WORD*>(translation);  // language, code page
  wchar_t block[64] = {};
  swprintf(block, 64, L"\\StringFileInfo\\%04x%04x\\ProductName", pair[0], pair[1]);
  void* name = nullptr;
  stringsInIt = pair[1] == 1200 && VerQueryValueW(info.data(), block, &name, &size) && size > 0;
  swprintf(block, 64, L"\\StringFileInfo\\%04x%04x\\FileDescription", pair[0], pair[1]);
  if (description && VerQueryValueW(info.data(), block, &name, &size) && size > 0) {
    *description = static_cast<const wchar_t*>(name);
  }
  return pair[0];
}

// What Task Manager and Explorer show for the program, in the region's words.
TEST_P(RegionLibraryTest, TheProgramDescribesItselfInTheRegionsLanguage) {
  bool stringsInIt = false;
  std::wstring description, english;
  VersionLanguage(ProgramPath(GetParam()), stringsInIt, &description);
  VersionLanguage(ProgramPath(L"GB"), stringsInIt, &english);
  // The region's own dash: Russian sets an em dash where English has a hyphen.
  EXPECT_TRUE(description.rfind(L"VornOption - ", 0) == 0 ||
              description.rfind(L"VornOption \u2014 ", 0) == 0)
      << "starts with the program's name and a dash";
  EXPECT_EQ(description == english, std::wstring(GetParam()) == L"GB") << "the English description";
}

TEST_P(RegionLibraryTest, TheProgramAndTheLibraryNameTheRegionsLanguage) {
  for (const std::wstring& file : {ProgramPath(GetParam()), LibraryPath(GetParam())}) {
    bool stringsInIt = false;
    EXPECT_EQ(VersionLanguage(file, stringsInIt), RegionLanguage(GetParam()))
        << (file == LibraryPath(GetParam()) ? "the library" : "the program");
    EXPECT_TRUE(stringsInIt) << "its strings in that language's UTF-16 block";
  }
}

INSTANTIATE_TEST_SUITE_P(EveryRegion, RegionLibraryTest, ::testing::ValuesIn(kRegions),
                         [](const auto& info) {
                           const std::wstring region = info.param;
                           return std::string(region.begin(), region.end());
                         });

// The sizes in icon group 128 of a built file (256 is stored as 0).
std::vector<int> IconSizes(const std::wstring& file) {
  std::vector<int> sizes;
  HMODULE module = LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  HRSRC found =
      module ? FindResourceW(module, MAKEINTRESOURCEW(IDR_MAINFRAME), RT_GROUP_ICON) : nullptr;
  const auto* group =
      found ? static_cast<const BYTE*>(LockResource(LoadResource(module, found))) : nullptr;
  if (group) {
    const WORD count = *reinterpret_cast<const WORD*>(group + 4);
    for (WORD i = 0; i < count; ++i) {
      const BYTE width = group[6 + 14 * i];  // GRPICONDIRENTRY: 14 bytes, width first
      sizes.push_back(width == 0 ? 256 : width);
    }
  }
  if (module) FreeLibrary(module);
  std::sort(sizes.begin(), sizes.end());
  return sizes;
}

TEST(Icons, EveryProgramAndLibraryHoldsEverySizeWindowsScalesTo) {
  const std::vector<int> expected = {16, 20, 24, 32, 40, 48, 64, 256};
  for (const wchar_t* region : kRegions) {
    EXPECT_EQ(IconSizes(ProgramPath(region)), expected) << "its own icon";
    EXPECT_EQ(IconSizes(LibraryPath(region)), expected);
  }
}

}  // namespace
}  // namespace vorn
