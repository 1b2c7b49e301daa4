// The contract the in-memory fakes are held to, checked against real
// Win32 combo boxes and check boxes driven through the program's wrappers.
#include <windows.h>

#include <map>
#include <memory>

#include "../unit/controls_contract.h"
#include "win32/framework/controls.h"

namespace vorn {
namespace {

class RealControls : public DialogControls {
 public:
  RealControls() {
    parent_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr,
                              nullptr, nullptr);
    for (int id : {IDC_SHADER_VERSION, IDC_RESOLUTION, IDC_TEXTURE, IDC_OCEAN, IDC_OBJECT,
                   IDC_CHARACTER, IDC_HEIGHTFIELD, IDC_SKY, IDC_TREE, IDC_AUDIO}) {
      lists_[id].hwnd = Child(L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL, id);
    }
    for (int id : {IDC_SHADOWMAP, IDC_WATER_REFLECTION, IDC_GLARE_RENDER, IDC_TREE_NORMAL_MAP,
                   IDC_WINDOW_MODE, IDC_VSYNC}) {
      checks_[id].hwnd = Child(L"BUTTON", BS_AUTOCHECKBOX, id);
    }
    adapter_.hwnd = Child(L"EDIT", ES_READONLY | ES_AUTOHSCROLL, IDC_ADAPTER);
  }
  ~RealControls() override { DestroyWindow(parent_); }

  int AddString(int id, const std::wstring& text) override {
    return lists_[id].AddString(text.c_str());
  }
  int DeleteString(int id, int index) override { return lists_[id].DeleteString(index); }
  int ResetContent(int id) override { return lists_[id].ResetContent(); }
  int GetCount(int id) override { return lists_[id].GetCount(); }
  int GetCurSel(int id) override { return lists_[id].GetCurSel(); }
  int SetCurSel(int id, int index) override { return lists_[id].SetCurSel(index); }
  int GetCheck(int id) override { return checks_[id].GetCheck(); }
  void SetCheck(int id, int state) override { checks_[id].SetCheck(state); }
  void Enable(int id, bool enable) override { checks_[id].Enable(enable); }
  std::wstring GetText(int id) override {
    return id == IDC_ADAPTER ? adapter_.Text() : lists_[id].Text();
  }
  void SetText(int, const std::wstring& text) override { adapter_.SetText(text); }

 private:
  HWND Child(const wchar_t* windowClass, DWORD style, int id) {
    return CreateWindowExW(0, windowClass, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 200, 120,
                           parent_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr,
                           nullptr);
  }

  HWND parent_;
  std::map<int, ComboBox> lists_;
  std::map<int, Button> checks_;
  Window adapter_;
};

struct RealControlsFactory {
  static std::unique_ptr<DialogControls> Make() { return std::make_unique<RealControls>(); }
};
INSTANTIATE_TYPED_TEST_SUITE_P(Real, ControlsContract, RealControlsFactory);

}  // namespace
}  // namespace vorn
